#include "app/window/AddItems.h"

#include "engine/adding/AddDocument.h"
#include "engine/adding/ScanFolder.h"

#include <utility>

namespace app {

namespace {

// Dropped items are judged when they are handled: a folder by what is on disk, a file by its
// extension exactly as written.
AddItem::Kind Resolve(const AddItem& item, const std::string& extensionList)
{
    if (item.kind != AddItem::Kind::Dropped) {
        return item.kind;
    }
    if (engine::InspectPath(item.path).What == engine::PathOnDisk::Kind::Folder) {
        return AddItem::Kind::Folder;
    }
    const std::string extension = engine::FileExtension(item.path);
    const bool otherKinds = extensionList != engine::kPackageExtensionList;
    return extension == "pptx" ||
                   (otherKinds && engine::PassesFilter(extension, engine::kPackageFilterMode, extensionList))
               ? AddItem::Kind::File
               : AddItem::Kind::Dropped;
}

} // namespace

void AddItems(engine::DocumentList& list,
              const std::vector<AddItem>& items,
              const engine::Progress& progress,
              const std::string& extensionList,
              std::vector<engine::ScanProblem>* problems)
{
    std::vector<std::string> files;
    for (const AddItem& item : items) {
        if (progress.Cancelled()) {
            break;
        }
        switch (Resolve(item, extensionList)) {
        case AddItem::Kind::File:
            files.push_back(item.path);
            break;
        case AddItem::Kind::Folder:
            engine::AddDocumentFiles(list, std::exchange(files, {}), progress);
            engine::AddDocumentFolder(list, item.path, engine::kPackageFilterMode, extensionList, progress,
                                      problems);
            break;
        case AddItem::Kind::Dropped:
            break; // neither a folder nor a package: skipped
        }
    }
    engine::AddDocumentFiles(list, files, progress);
}

} // namespace app
