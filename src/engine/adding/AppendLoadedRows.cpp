#include "engine/adding/AppendLoadedRows.h"

#include "engine/base/OrderedPool.h"
#include "engine/base/UsableCores.h"
#include "engine/package/LoadDocument.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace engine {

namespace {

std::unique_ptr<DocumentRecord> NewRecord(const ScannedFile& file)
{
    auto record = std::make_unique<DocumentRecord>();
    record->FullPath = file.FullPath;
    record->FileName = file.FileName;
    record->FileSize = file.SizeKnown ? std::to_string(file.Size) : std::string();
    record->FileExt = file.Ext;
    record->FileType = "file";
    return record;
}

// A file a folder walk took by its directory entry alone is a row when its load found it larger
// than kMinPackageSize. A load that could not open it learnt no size: then a status says what is
// there (on this rare path only), and a file that vanished since the walk is no row, as a walk
// that examined it would have left it out.
bool WorthARow(DocumentRecord& record)
{
    if (record.FileSize.empty()) {
        struct stat st
        {
        };

        if (stat(record.FullPath.c_str(), &st) != 0) {
            return errno != ENOENT; // kept with the load's reason, as a row of its own
        }
        if (!S_ISREG(st.st_mode)) {
            return false;
        }
        record.FileSize = std::to_string(st.st_size);
    }
    return std::strtoull(record.FileSize.c_str(), nullptr, 10) > kMinPackageSize;
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
            if (!files[i].SizeKnown && !WorthARow(*records[i])) {
                records[i].reset();
            }
        },
        [&](std::size_t i, bool ran) {
            // A cancel request ends the appending at once, so the rows are exactly those appended
            // before it.
            appending = appending && ran && !progress.Cancelled();
            if (appending) {
                if (records[i]) {
                    AppendChecked(list, std::move(*records[i]));
                }
                progress.Report(i + 1, files.size(), files[i].FullPath);
            }
            records[i].reset();
        });
}

} // namespace engine
