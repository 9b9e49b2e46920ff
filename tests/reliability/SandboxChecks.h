#pragma once

#include "engine/record/DocumentRecord.h"

#include <filesystem>
#include <string>
#include <vector>

// Shared checks of the reliability tests: where files may appear, and records for packages.
namespace reliability {

// Entries directly in a folder, by name, sorted; an empty list for a missing folder.
std::vector<std::string> EntryNames(const std::filesystem::path& folder);

// Every place below `root`, and in each of its ancestors up to the file system root, where a file
// named `marker` exists. Markers found in ancestors are removed, so that one escape does not
// fail later tests too.
std::vector<std::filesystem::path> FindEscapedMarkers(const std::filesystem::path& root, const std::string& marker);

// A record for the package as the list makes it when a file is added.
engine::DocumentRecord RecordFor(const std::filesystem::path& package);

// Marks property p as edited to `value`, as the editors do.
void Edit(engine::DocumentRecord& record, std::size_t p, const std::string& value);

// Whether python3's zipfile module finds the archive sound (every member's CRC checked).
bool PythonFindsZipSound(const std::filesystem::path& package);

} // namespace reliability
