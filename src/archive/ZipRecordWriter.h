#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Serialisation of the records an archive writer emits: local headers, central records, data
// descriptors and the end structures, with Zip64 blocks wherever a value does not fit its field.
namespace archive {

// The values of one member as they are written; names, extra fields and comments are raw bytes.
struct ZipMemberRecord
{
    std::uint16_t VersionMadeBy = 0x002D;
    std::uint16_t VersionNeeded = 20;
    std::uint16_t Flags = 0;
    std::uint16_t Method = 8;
    std::uint32_t DosDateTime = 0;
    std::uint32_t Crc32 = 0;
    std::uint64_t CompressedSize = 0;
    std::uint64_t UncompressedSize = 0;
    std::uint64_t LocalHeaderOffset = 0;
    std::uint32_t DiskNumberStart = 0;
    std::uint16_t InternalAttributes = 0;
    std::uint32_t ExternalAttributes = 0;
    std::string Name;
    std::string CentralExtra; // never holds a Zip64 block; the writer adds its own
    std::string Comment;
    bool ForceZip64 = false; // write the Zip64 forms even for small values
};

// True when the sizes need the 64-bit forms (in the local header both sizes move together).
bool SizesNeedZip64(const ZipMemberRecord& record);

// The local header, followed by its extra field: the Zip64 size block when zip64Sizes, then
// extraTail. The caller decides zip64Sizes before the data is written so the header's length
// stays the same when it is rewritten with the final values.
std::string LocalHeaderBytes(const ZipMemberRecord& record, bool zip64Sizes, std::string_view extraTail);

// The central directory record with name, extra field (Zip64 block first) and comment.
std::string CentralRecordBytes(const ZipMemberRecord& record);

// A data descriptor with its signature; 64-bit sizes when zip64Sizes.
std::string DataDescriptorBytes(std::uint32_t crc,
                                std::uint64_t compressedSize,
                                std::uint64_t uncompressedSize,
                                bool zip64Sizes);

// The end of the archive: Zip64 end record and locator when a value needs them (or forceZip64), then
// the end record and the archive comment.
std::string EndRecordsBytes(std::uint64_t entries,
                            std::uint64_t directorySize,
                            std::uint64_t directoryOffset,
                            std::string_view comment,
                            bool forceZip64);

// An extra field without its Zip64 blocks (id 1); bytes after the last whole block (padding, a
// damaged block) are kept as they are.
std::string WithoutZip64Block(std::string_view extra);

// Throws when a name, extra field or comment is too long for its 16-bit length field.
void CheckFieldLengths(const ZipMemberRecord& record, std::size_t localExtraLength);

} // namespace archive
