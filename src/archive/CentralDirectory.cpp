#include "archive/ArchiveErrors.h"
#include "archive/ArchiveFile.h"
#include "archive/DirectoryReading.h"
#include "archive/TArchiveReader.h"

#include <memory>
#include <optional>

namespace archive {
namespace {

// Reads the central records one after another, adding each to the list. A record whose predecessor
// declared an extra field that was not really there is found by stepping back over that field once.
// Returns the index of the first record that could not be read, or nullopt when all were read.
// EDuplicateObject propagates when two records name one local header.
std::optional<std::uint64_t> ReadRecords(ArchiveFile& file,
                                         const TEndCentral& end,
                                         const std::function<void(std::unique_ptr<TZipHeaderInfo>)>& accept,
                                         const std::function<void()>& onProgress)
{
    file.Seek(end.CentralOffset());
    // Records are read into their heap places at once: a directory is read on every load.
    std::unique_ptr<TZipHeaderInfo> pending;
    const std::uint64_t total = end.TotalEntries();
    for (std::uint64_t i = 0; i < total; ++i) {
        if (onProgress) {
            onProgress();
        }
        const std::uint64_t start = file.Position();
        auto member = std::make_unique<TZipHeaderInfo>();
        bool ok = ReadCentralRecord(file, *member);
        if (!ok && pending && !pending->CentralExtra.empty() && start >= pending->CentralExtra.size()) {
            const std::size_t extraLength = pending->CentralExtra.size();
            const std::size_t nameLength = pending->StoredName().size();
            const std::size_t commentLength = pending->Comment.size();
            pending->CentralExtra.clear();
            pending->Zip64.reset();
            pending->Zip64BlockLength = 0;
            pending->Comment.resize(commentLength);
            file.Seek(pending->CentralRecordPosition + 46 + nameLength);
            if (commentLength > 0 && file.Read(pending->Comment.data(), commentLength) != commentLength) {
                pending->Comment.clear();
            }
            file.Seek(start - extraLength);
            ok = ReadCentralRecord(file, *member);
        }
        if (!ok) {
            if (pending) {
                accept(std::move(pending));
            }
            return i;
        }
        if (pending) {
            accept(std::move(pending));
        }
        pending = std::move(member);
    }
    if (pending) {
        accept(std::move(pending));
    }
    return std::nullopt;
}

} // namespace

void TArchiveReader::ReadCentralDirectory(ArchiveFile& file,
                                          const TEndCentral& end,
                                          TSortedZip& members,
                                          bool strict)
{
    const std::string path = file.Path().string();
    std::uint64_t done = 0;
    const std::uint64_t total = end.TotalEntries();
    auto progress = [&] { CheckCancel(done++, total); };
    // Every central record takes at least 46 bytes, so a count beyond that is a lie, not a reason to
    // loop for billions of records.
    const bool plausible =
        end.CentralOffset() < file.Size() && total <= (file.Size() - end.CentralOffset()) / 46;
    std::optional<std::uint64_t> failedAt;
    bool duplicate = false;
    if (plausible) {
        try {
            failedAt = ReadRecords(
                file, end, [&](std::unique_ptr<TZipHeaderInfo> m) { members.Add(std::move(m)); }, progress);
        } catch (const EDuplicateObject&) {
            duplicate = true;
        }
    } else {
        failedAt = 0;
    }
    if (!failedAt && !duplicate) {
        return;
    }
    const std::string problem = duplicate
                                    ? "two members share one local header offset"
                                    : "damaged central directory at record " + std::to_string(*failedAt);
    if (strict) {
        throw EBadZipFile(path + ": " + problem);
    }
    // Lenient reading: take the members from the local headers, and, for a damaged directory, the
    // values of every central record that can still be read and matches one of them.
    TSortedZip rebuilt;
    auto rebuildProgress = [this] { CheckCancel(0, 0); };
    if (!RebuildFromLocalHeaders(file, rebuilt, rebuildProgress)) {
        throw EBadZipFile(path + ": " + problem);
    }
    if (!duplicate && plausible) {
        auto reconcile = [&rebuilt](std::unique_ptr<TZipHeaderInfo> read) {
            TZipHeaderInfo& central = *read;
            for (std::size_t i = 0; i < rebuilt.Count(); ++i) {
                TZipHeaderInfo& local = rebuilt[i];
                if (local.LocalHeaderOffset() == central.LocalHeaderOffset()) {
                    const std::uint64_t offset = local.LocalHeaderOffset();
                    const std::uint16_t localExtra = local.LocalExtraLength;
                    local = std::move(central);
                    local.SetDiskNumberStart(0);
                    local.SetLocalHeaderOffset(offset);
                    local.LocalExtraLength = localExtra;
                    return;
                }
            }
        };
        ReadRecords(file, end, reconcile, progress);
    }
    members = std::move(rebuilt);
}

} // namespace archive
