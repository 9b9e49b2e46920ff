#pragma once

#include "engine/adding/ScanFolder.h"
#include "engine/record/DocumentList.h"
#include "engine/base/Progress.h"

#include <string>
#include <vector>

namespace engine {

inline constexpr const char* kPackageFilterMode = "2";
inline constexpr const char* kPackageExtensionList = "*.pptx;";

// Extension of a path without its dot: the text after the last '.', when no '/', '\' or ':'
// follows it; empty otherwise. Letter case is kept.
std::string FileExtension(const std::string& path);

// Whether a file with extension ext passes filter mode "0", "1" or "2" with the extension list.
bool PassesFilter(const std::string& ext, const std::string& filterMode, const std::string& extensionList);

// Adds one row when path names an existing file larger than 512 bytes, loads and checks it.
void AddDocumentFile(DocumentList& list, const std::string& path, const Progress& progress = {});

// Adds a row for each path that AddDocumentFile accepts, in the given order, loaded in parallel.
// Never throws; a cancelled add keeps the rows loaded so far.
void AddDocumentFiles(DocumentList& list,
                      const std::vector<std::string>& paths,
                      const Progress& progress = {});

// Adds a row for every accepted file below folder (recursive, sorted by name), loaded in parallel;
// rows appear in scan order. What the walk could not list or examine is appended to problems (see
// ScanFolderFiles). Never throws; a cancelled add keeps the rows loaded so far.
void AddDocumentFolder(DocumentList& list,
                       const std::string& folder,
                       const std::string& filterMode,
                       const std::string& extensionList,
                       const Progress& progress = {},
                       std::vector<ScanProblem>* problems = nullptr);

// The accepted files below folder, in scan order (depth first, entries sorted by name).
std::vector<std::string>
ScanFolder(const std::string& folder, const std::string& filterMode, const std::string& extensionList);

} // namespace engine
