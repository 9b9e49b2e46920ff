#include "app/AddItems.h"

#include "app/ParallelFor.h"
#include "engine/AddDocument.h"

#include <filesystem>
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
    std::error_code ec;
    if (std::filesystem::is_directory(item.path, ec)) {
        return AddItem::Kind::Folder;
    }
    const std::string extension = engine::FileExtension(item.path);
    const bool otherKinds = extensionList != engine::kPackageExtensionList;
    return extension == "pptx" ||
                   (otherKinds && engine::PassesFilter(extension, engine::kPackageFilterMode, extensionList))
               ? AddItem::Kind::File
               : AddItem::Kind::Dropped;
}

void MoveRows(engine::VectorDocumentList& from, engine::DocumentList& to)
{
    for (auto& row : from.TakeRows()) {
        to.AppendRow() = std::move(*row.record);
        to.SetCheckState(to.RowCount() - 1, row.checkState);
    }
}

void AddFiles(engine::DocumentList& list,
              const std::vector<std::string>& paths,
              const engine::Progress& progress)
{
    // Each package loads into its own list so that the rows keep the order of the paths.
    std::vector<engine::VectorDocumentList> loaded(paths.size());
    engine::Progress quiet;
    quiet.CancelRequested = progress.CancelRequested;
    ParallelFor(
        paths.size(), [&](std::size_t i) { engine::AddDocumentFile(loaded[i], paths[i], quiet); },
        [&](std::size_t i) { return paths[i]; }, progress);
    for (auto& rows : loaded) {
        MoveRows(rows, list);
    }
}

} // namespace

void AddItems(engine::DocumentList& list,
              const std::vector<AddItem>& items,
              const engine::Progress& progress,
              const std::string& extensionList)
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
            AddFiles(list, std::exchange(files, {}), progress);
            engine::AddDocumentFolder(list, item.path, engine::kPackageFilterMode, extensionList, progress);
            break;
        case AddItem::Kind::Dropped:
            break; // neither a folder nor a package: skipped
        }
    }
    AddFiles(list, files, progress);
}

} // namespace app
