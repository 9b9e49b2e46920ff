#include "archive/ZipRecordWriter.h"

#include "archive/ArchiveErrors.h"
#include "archive/ZipFormat.h"

#include <algorithm>

namespace archive {

namespace {

constexpr std::uint16_t kVersionZip64 = 45;

bool OffsetNeedsZip64(const ZipMemberRecord& r)
{
    return r.ForceZip64 || r.LocalHeaderOffset >= kMarker32;
}

bool DiskNeedsZip64(const ZipMemberRecord& r)
{
    return r.DiskNumberStart >= kMarker16;
}

std::uint32_t Field32(std::uint64_t value, bool marked)
{
    return marked ? kMarker32 : static_cast<std::uint32_t>(value);
}

void PutBlockHeader(std::string& out, std::size_t dataSize)
{
    PutU16(out, kZip64ExtraId);
    PutU16(out, static_cast<std::uint16_t>(dataSize));
}

} // namespace

bool SizesNeedZip64(const ZipMemberRecord& r)
{
    return r.ForceZip64 || r.UncompressedSize >= kMarker32 || r.CompressedSize >= kMarker32;
}

std::string LocalHeaderBytes(const ZipMemberRecord& r, bool zip64Sizes, std::string_view extraTail)
{
    if (!zip64Sizes && SizesNeedZip64(r)) {
        throw EArchiveError("Member too large for its local header", std::string(r.Name));
    }
    std::string extra;
    if (zip64Sizes) {
        // Both sizes, always together, as the local block of the format requires.
        PutBlockHeader(extra, 16);
        PutU64(extra, r.UncompressedSize);
        PutU64(extra, r.CompressedSize);
    }
    extra.append(extraTail);
    CheckFieldLengths(r, extra.size());

    std::string out;
    out.reserve(kLocalHeaderSize + r.Name.size() + extra.size());
    PutU32(out, kLocalHeaderSignature);
    PutU16(out, zip64Sizes ? std::max(r.VersionNeeded, kVersionZip64) : r.VersionNeeded);
    PutU16(out, r.Flags);
    PutU16(out, r.Method);
    PutU32(out, r.DosDateTime);
    PutU32(out, r.Crc32);
    PutU32(out, Field32(r.CompressedSize, zip64Sizes));
    PutU32(out, Field32(r.UncompressedSize, zip64Sizes));
    PutU16(out, static_cast<std::uint16_t>(r.Name.size()));
    PutU16(out, static_cast<std::uint16_t>(extra.size()));
    out += r.Name;
    out += extra;
    return out;
}

std::string CentralRecordBytes(const ZipMemberRecord& r)
{
    const bool bigUncompressed = r.ForceZip64 || r.UncompressedSize >= kMarker32;
    const bool bigCompressed = r.ForceZip64 || r.CompressedSize >= kMarker32;
    const bool bigOffset = OffsetNeedsZip64(r);
    const bool bigDisk = DiskNeedsZip64(r);
    const bool zip64 = bigUncompressed || bigCompressed || bigOffset || bigDisk;

    std::string extra;
    if (zip64) {
        const std::size_t dataSize = 8 * (bigUncompressed + bigCompressed + bigOffset) + 4 * bigDisk;
        PutBlockHeader(extra, dataSize);
        if (bigUncompressed) {
            PutU64(extra, r.UncompressedSize);
        }
        if (bigCompressed) {
            PutU64(extra, r.CompressedSize);
        }
        if (bigOffset) {
            PutU64(extra, r.LocalHeaderOffset);
        }
        if (bigDisk) {
            PutU32(extra, r.DiskNumberStart);
        }
    }
    // The kept extra data goes only as long as the field can hold it; it is informational.
    if (extra.size() + r.CentralExtra.size() <= 0xFFFF) {
        extra += r.CentralExtra;
    }
    CheckFieldLengths(r, 0);

    std::string out;
    out.reserve(kCentralHeaderSize + r.Name.size() + extra.size() + r.Comment.size());
    PutU32(out, kCentralHeaderSignature);
    PutU16(out, r.VersionMadeBy);
    PutU16(out, zip64 ? std::max(r.VersionNeeded, kVersionZip64) : r.VersionNeeded);
    PutU16(out, r.Flags);
    PutU16(out, r.Method);
    PutU32(out, r.DosDateTime);
    PutU32(out, r.Crc32);
    PutU32(out, Field32(r.CompressedSize, bigCompressed));
    PutU32(out, Field32(r.UncompressedSize, bigUncompressed));
    PutU16(out, static_cast<std::uint16_t>(r.Name.size()));
    PutU16(out, static_cast<std::uint16_t>(extra.size()));
    PutU16(out, static_cast<std::uint16_t>(r.Comment.size()));
    PutU16(out, bigDisk ? kMarker16 : static_cast<std::uint16_t>(r.DiskNumberStart));
    PutU16(out, r.InternalAttributes);
    PutU32(out, r.ExternalAttributes);
    PutU32(out, Field32(r.LocalHeaderOffset, bigOffset));
    out += r.Name;
    out += extra;
    out += r.Comment;
    return out;
}

std::string DataDescriptorBytes(std::uint32_t crc,
                                std::uint64_t compressedSize,
                                std::uint64_t uncompressedSize,
                                bool zip64Sizes)
{
    std::string out;
    PutU32(out, kDataDescriptorSignature);
    PutU32(out, crc);
    if (zip64Sizes) {
        PutU64(out, compressedSize);
        PutU64(out, uncompressedSize);
    } else {
        PutU32(out, static_cast<std::uint32_t>(compressedSize));
        PutU32(out, static_cast<std::uint32_t>(uncompressedSize));
    }
    return out;
}

std::string EndRecordsBytes(std::uint64_t entries,
                            std::uint64_t directorySize,
                            std::uint64_t directoryOffset,
                            std::string_view comment,
                            bool forceZip64)
{
    if (comment.size() > kMaxCommentLength) {
        throw EArchiveError("Archive comment too long");
    }
    const bool bigEntries = forceZip64 || entries >= kMarker16;
    const bool bigSize = forceZip64 || directorySize >= kMarker32;
    const bool bigOffset = forceZip64 || directoryOffset >= kMarker32;

    std::string out;
    if (bigEntries || bigSize || bigOffset) {
        const std::uint64_t zip64EndOffset = directoryOffset + directorySize;
        PutU32(out, kZip64EndCentralSignature);
        PutU64(out, kZip64EndCentralSize - 12); // the record's size after this field
        PutU16(out, kVersionZip64);
        PutU16(out, kVersionZip64);
        PutU32(out, 0); // this disk
        PutU32(out, 0); // disk of the central directory
        PutU64(out, entries);
        PutU64(out, entries);
        PutU64(out, directorySize);
        PutU64(out, directoryOffset);

        PutU32(out, kZip64LocatorSignature);
        PutU32(out, 0);
        PutU64(out, zip64EndOffset);
        PutU32(out, 1);
    }
    PutU32(out, kEndCentralSignature);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, bigEntries ? kMarker16 : static_cast<std::uint16_t>(entries));
    PutU16(out, bigEntries ? kMarker16 : static_cast<std::uint16_t>(entries));
    PutU32(out, Field32(directorySize, bigSize));
    PutU32(out, Field32(directoryOffset, bigOffset));
    PutU16(out, static_cast<std::uint16_t>(comment.size()));
    out.append(comment);
    return out;
}

std::string WithoutZip64Block(std::string_view extra)
{
    std::string out;
    std::size_t pos = 0;
    while (pos + 4 <= extra.size()) {
        const std::uint16_t id = GetU16(extra.data() + pos);
        const std::size_t size = GetU16(extra.data() + pos + 2);
        if (pos + 4 + size > extra.size()) {
            break;
        }
        if (id != kZip64ExtraId) {
            out.append(extra.substr(pos, 4 + size));
        }
        pos += 4 + size;
    }
    // Padding or a damaged block at the end is kept as it was.
    out.append(extra.substr(pos));
    return out;
}

void CheckFieldLengths(const ZipMemberRecord& r, std::size_t localExtraLength)
{
    if (r.Name.size() > 0xFFFF || r.Comment.size() > 0xFFFF || localExtraLength > 0xFFFF) {
        throw EArchiveError("Member name, comment or extra field too long", r.Name.substr(0, 200));
    }
}

} // namespace archive
