#include "engine/adding/AppendLoadedRows.h"

#include "engine/package/LoadDocument.h"
#include "engine/base/OrderedPool.h"
#include "engine/base/UsableCores.h"

#include <memory>

namespace engine {

namespace {

std::unique_ptr<DocumentRecord> NewRecord(const ScannedFile& file)
{
    auto record = std::make_unique<DocumentRecord>();
    record->FullPath = file.FullPath;
    record->FileName = file.FileName;
    record->FileSize = std::to_string(file.Size);
    record->FileExt = file.Ext;
    record->FileType = "file";
    return record;
}

void AppendChecked(DocumentList& list, DocumentRecord&& record)
{
    const std::size_t row = list.RowCount();
    list.AppendRow() = std::move(record);
    list.SetCheckState(row, kChecked);
}

} // namespace

void AppendLoadedRows(DocumentList& list, const std::vector<ScannedFile>& files, const Progress& progress)
{
    std::vector<std::unique_ptr<DocumentRecord>> records(files.size());
    bool appending = true;
    RunInOrder(
        files.size(), UsableCores(), progress,
        [&](std::size_t i, unsigned) {
            records[i] = NewRecord(files[i]);
            LoadDocument(*records[i]); // never throws; failures stay in the record's LastError
        },
        [&](std::size_t i, bool ran) {
            // A cancel request ends the appending at once, so the rows are exactly those appended
            // before it.
            appending = appending && ran && !progress.Cancelled();
            if (appending) {
                AppendChecked(list, std::move(*records[i]));
                progress.Report(i + 1, files.size(), files[i].FullPath);
            }
            records[i].reset();
        });
}

} // namespace engine
