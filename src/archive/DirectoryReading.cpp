#include "archive/DirectoryReading.h"

#include "archive/ArchiveErrors.h"
#include "archive/ArchiveFile.h"
#include "archive/ByteBuffer.h"
#include "archive/DosDateTime.h"
#include "archive/ZipFormat.h"

#include <array>
#include <optional>
#include <vector>

namespace archive {
namespace {

bool Consistent(const TEndCentral& end, std::uint64_t recordPosition)
{
    if (end.CentralOffset32 == kMarker32 || end.CentralSize32 == kMarker32) {
        return true;
    }
    return static_cast<std::uint64_t>(end.CentralOffset32) + end.CentralSize32 <= recordPosition;
}

void ReadZip64End(ArchiveFile& file, TEndCentral& end)
{
    if (end.RecordPosition < kZip64LocatorSize) {
        return;
    }
    std::array<unsigned char, kZip64LocatorSize> loc{};
    file.Seek(end.RecordPosition - kZip64LocatorSize);
    if (file.Read(loc.data(), loc.size()) != loc.size() || GetU32(loc.data()) != kZip64LocatorSignature) {
        return;
    }
    TZip64Locator locator;
    locator.Zip64EndDisk = GetU32(loc.data() + 4);
    locator.Zip64EndOffset = GetU64(loc.data() + 8);
    locator.TotalDisks = GetU32(loc.data() + 16);
    end.Zip64Locator = locator;

    std::array<unsigned char, kZip64EndCentralSize> rec{};
    file.Seek(locator.Zip64EndOffset);
    if (locator.Zip64EndOffset >= end.RecordPosition || file.Read(rec.data(), rec.size()) != rec.size() ||
        GetU32(rec.data()) != kZip64EndCentralSignature) {
        throw EBadZipFile(file.Path().string() + ": the Zip64 end record is missing");
    }
    TZip64EndRecord z;
    z.RecordSize = GetU64(rec.data() + 4);
    z.VersionMadeBy = GetU16(rec.data() + 12);
    z.VersionNeeded = GetU16(rec.data() + 14);
    z.ThisDisk = GetU32(rec.data() + 16);
    z.CentralDisk = GetU32(rec.data() + 20);
    z.EntriesThisDisk = GetU64(rec.data() + 24);
    z.TotalEntries = GetU64(rec.data() + 32);
    z.CentralSize = GetU64(rec.data() + 40);
    z.CentralOffset = GetU64(rec.data() + 48);
    end.Zip64End = z;
}

TEndCentral ParseEndRecord(const unsigned char* p, std::uint64_t position)
{
    TEndCentral end;
    end.ThisDisk = GetU16(p + 4);
    end.CentralDisk = GetU16(p + 6);
    end.EntriesThisDisk16 = GetU16(p + 8);
    end.TotalEntries16 = GetU16(p + 10);
    end.CentralSize32 = GetU32(p + 12);
    end.CentralOffset32 = GetU32(p + 16);
    end.RecordPosition = position;
    end.CommentPosition = position + kEndCentralSize;
    return end;
}

} // namespace

bool StartsWithOle2Signature(ArchiveFile& file)
{
    static constexpr std::array<unsigned char, 8> kOle2 = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::array<unsigned char, 8> head{};
    file.Seek(0);
    return file.Read(head.data(), head.size()) == head.size() && head == kOle2;
}

EndRecordSearch FindEndRecord(ArchiveFile& file, TEndCentral& end)
{
    const std::uint64_t size = file.Size();
    if (size == 0) {
        end = TEndCentral{};
        return EndRecordSearch::EmptyFile;
    }
    if (size < kEndCentralSize) {
        return EndRecordSearch::NotFound;
    }
    const std::size_t window =
        static_cast<std::size_t>(std::min<std::uint64_t>(kMaxCommentLength + kEndCentralSize, size));
    const std::uint64_t windowStart = size - window;
    // Load a larger tail into the file's buffer, so that a small central directory comes with it.
    file.Prefetch(size > ArchiveFile::kBufferSize ? size - ArchiveFile::kBufferSize : 0);
    // The window is searched where the buffer holds it; a copy only when it does not.
    std::optional<ByteBuffer> copy;
    const unsigned char* tail = file.Buffered(windowStart, window);
    if (tail == nullptr) {
        copy.emplace(window);
        file.Seek(windowStart);
        file.ReadExact(copy->data(), window);
        tail = copy->data();
    }

    // Scanning backward, prefer a record whose comment ends exactly at the end of the file and whose
    // directory lies before it: an end signature inside a comment must not win over the real record.
    const unsigned char* firstExact = nullptr;
    const unsigned char* firstConsistent = nullptr;
    const unsigned char* first = nullptr;
    for (std::size_t i = window - kEndCentralSize + 1; i-- > 0;) {
        const unsigned char* p = tail + i;
        if (p[0] != 0x50 || GetU32(p) != kEndCentralSignature) {
            continue;
        }
        const std::uint64_t position = windowStart + i;
        const TEndCentral candidate = ParseEndRecord(p, position);
        const bool exact = i + kEndCentralSize + GetU16(p + 20) == window;
        const bool consistent = Consistent(candidate, position);
        if (exact && consistent) {
            first = firstExact = firstConsistent = p;
            break;
        }
        if (first == nullptr) {
            first = p;
        }
        if (exact && firstExact == nullptr) {
            firstExact = p;
        }
        if (consistent && firstConsistent == nullptr) {
            firstConsistent = p;
        }
    }
    const unsigned char* chosen = firstExact != nullptr && firstExact == firstConsistent ? firstExact
                                  : firstExact != nullptr                                ? firstExact
                                  : firstConsistent != nullptr                           ? firstConsistent
                                                                                         : first;
    if (chosen == nullptr) {
        return EndRecordSearch::NotFound;
    }
    const std::size_t at = static_cast<std::size_t>(chosen - tail);
    end = ParseEndRecord(chosen, windowStart + at);
    const std::size_t commentLength =
        std::min<std::size_t>(GetU16(chosen + 20), window - at - kEndCentralSize);
    end.Comment.assign(reinterpret_cast<const char*>(chosen + kEndCentralSize), commentLength);
    ReadZip64End(file, end);
    return EndRecordSearch::Found;
}

std::uint16_t ParseZip64Extra(std::string_view extra, TZipHeaderInfo& member)
{
    std::size_t pos = 0;
    while (pos + 4 <= extra.size()) {
        const std::uint16_t id = GetU16(extra.data() + pos);
        const std::uint16_t size = GetU16(extra.data() + pos + 2);
        const std::size_t available = std::min<std::size_t>(size, extra.size() - pos - 4);
        if (id == kZip64ExtraId) {
            const char* p = extra.data() + pos + 4;
            std::size_t used = 0;
            TZip64Record z = member.Zip64.value_or(TZip64Record{});
            auto take64 = [&](std::uint64_t& field) {
                if (used + 8 <= available) {
                    field = GetU64(p + used);
                    used += 8;
                }
            };
            if (member.UncompressedSize32 == kMarker32) {
                take64(z.UncompressedSize);
            }
            if (member.CompressedSize32 == kMarker32) {
                take64(z.CompressedSize);
            }
            if (member.LocalHeaderOffset32 == kMarker32) {
                take64(z.LocalHeaderOffset);
            }
            if (member.DiskNumberStart16 == kMarker16 && used + 4 <= available) {
                z.DiskNumberStart = GetU32(p + used);
            }
            member.Zip64 = z;
            return static_cast<std::uint16_t>(size + 4);
        }
        pos += 4 + static_cast<std::size_t>(size);
    }
    return 0;
}

bool ReadCentralRecord(ArchiveFile& file, TZipHeaderInfo& member)
{
    std::array<unsigned char, kCentralHeaderSize> h{};
    const std::uint64_t position = file.Position();
    if (file.Read(h.data(), h.size()) != h.size() || GetU32(h.data()) != kCentralHeaderSignature) {
        return false;
    }
    const std::uint16_t n = GetU16(h.data() + 28);
    const std::uint16_t m = GetU16(h.data() + 30);
    const std::uint16_t k = GetU16(h.data() + 32);
    // The name straight into its member (every central record is read on every load); the rarely
    // present extra field and comment through one more buffer.
    member = TZipHeaderInfo{};
    member.Name.resize(n);
    std::string extraAndComment(static_cast<std::size_t>(m) + k, '\0');
    if (file.Read(member.Name.data(), n) != n ||
        file.Read(extraAndComment.data(), extraAndComment.size()) != extraAndComment.size()) {
        return false;
    }
    member.VersionMadeBy = GetU16(h.data() + 4);
    member.VersionNeeded = GetU16(h.data() + 6);
    member.Flags = GetU16(h.data() + 8);
    member.CompressionMethod = GetU16(h.data() + 10);
    member.DosDateTime = CorrectDosDateTime(GetU32(h.data() + 12));
    member.CRC32 = GetU32(h.data() + 16);
    member.CompressedSize32 = GetU32(h.data() + 20);
    member.UncompressedSize32 = GetU32(h.data() + 24);
    member.DiskNumberStart16 = GetU16(h.data() + 34);
    member.InternalAttributes = GetU16(h.data() + 36);
    member.ExternalAttributes = GetU32(h.data() + 38);
    member.LocalHeaderOffset32 = GetU32(h.data() + 42);
    member.CentralRecordPosition = position;
    member.NormaliseStoredName();
    member.CentralExtra = extraAndComment.substr(0, m);
    member.Comment = extraAndComment.substr(m, k);
    member.Zip64BlockLength = ParseZip64Extra(member.CentralExtra, member);
    return true;
}

} // namespace archive
