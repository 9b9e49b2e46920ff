#pragma once

#include "engine/adding/AddDocument.h"
#include "engine/record/DocumentList.h"
#include "engine/base/Progress.h"

#include <string>
#include <vector>

namespace app {

// One thing the user asked to add: a chosen package, a chosen folder, or a dropped item, which is
// a folder when it names one and otherwise a package only when its extension is exactly "pptx".
struct AddItem
{
    enum class Kind
    {
        File,
        Folder,
        Dropped,
    };

    std::string path;
    Kind kind = Kind::File;
};

// Adds the rows of every item to list, in item order; the packages of a run of files, and those of
// a folder, load in parallel. A cancel request keeps the rows loaded so far.
// Folders take the files of extensionList; a dropped file is taken when its extension is exactly
// "pptx" or, with other kinds chosen, is in extensionList. What a folder walk could not list or
// examine is appended to problems (see engine::ScanFolderFiles).
void AddItems(engine::DocumentList& list,
              const std::vector<AddItem>& items,
              const engine::Progress& progress,
              const std::string& extensionList = engine::kPackageExtensionList,
              std::vector<engine::ScanProblem>* problems = nullptr);

} // namespace app
