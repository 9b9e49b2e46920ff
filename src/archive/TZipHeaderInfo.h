#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One archive member as its central directory record describes it.
namespace archive {

// The values of a Zip64 extended information block (header id 1). Only the values whose ordinary
// field holds the all-ones marker are meaningful.
struct TZip64Record
{
    std::uint64_t UncompressedSize = 0;
    std::uint64_t CompressedSize = 0;
    std::uint64_t LocalHeaderOffset = 0;
    std::uint32_t DiskNumberStart = 0;
};

struct TZipHeaderInfo
{
    std::uint16_t VersionMadeBy = 45;
    std::uint16_t VersionNeeded = 20;
    std::uint16_t Flags = 0;
    std::uint16_t CompressionMethod = 8;
    std::uint32_t DosDateTime = 0; // corrected on reading
    std::uint32_t CRC32 = 0xFFFFFFFF;
    // The fields as stored; 0xFFFFFFFF (0xFFFF) means "see Zip64". Use the accessors below.
    std::uint32_t CompressedSize32 = 0;
    std::uint32_t UncompressedSize32 = 0;
    std::uint16_t DiskNumberStart16 = 0;
    std::uint32_t LocalHeaderOffset32 = 0;
    std::uint16_t LocalExtraLength = 0; // known once the local header has been read
    std::uint16_t InternalAttributes = 1;
    std::uint32_t ExternalAttributes = 0x20;
    std::uint64_t CentralRecordPosition = 0;

    // The name with every '\' turned into '/': the form used for matching and for output paths.
    std::string Name;
    // The name bytes exactly as stored in the central record when they differ from Name (they hold
    // a '\'), else empty: almost every name is stored as Name, and a directory read keeps one copy.
    // Read them through StoredName().
    std::string StoredNameIfDifferent;
    std::string CentralExtra; // central extra field bytes as stored
    std::string Comment;      // member comment bytes
    std::optional<TZip64Record> Zip64;
    std::uint16_t Zip64BlockLength = 0; // size of the Zip64 block in CentralExtra, header included

    bool Selected = false;
    std::uint8_t DeletionMark = 0; // 2 drops the member when the archive is rewritten

    [[nodiscard]] std::uint64_t CompressedSize() const;
    [[nodiscard]] std::uint64_t UncompressedSize() const;
    [[nodiscard]] std::uint64_t LocalHeaderOffset() const;
    [[nodiscard]] std::uint32_t DiskNumberStart() const;
    // Values that do not fit (or equal the marker) go to the Zip64 record and the field gets the marker.
    void SetCompressedSize(std::uint64_t value);
    void SetUncompressedSize(std::uint64_t value);
    void SetLocalHeaderOffset(std::uint64_t value);
    void SetDiskNumberStart(std::uint32_t value);

    // The name bytes exactly as stored in the central record, for writing a kept member back unchanged.
    [[nodiscard]] std::string_view StoredName() const
    {
        return StoredNameIfDifferent.empty() ? std::string_view(Name)
                                             : std::string_view(StoredNameIfDifferent);
    }

    // Takes the stored name bytes: Name gets their normalised form.
    void SetName(std::string_view storedName);
    // The same when Name already holds the stored bytes (a directory read puts them there).
    void NormaliseStoredName();
    // The part after the last '/' (empty for a directory entry) and the part through it.
    [[nodiscard]] std::string FileName() const;
    [[nodiscard]] std::string Directory() const;

    [[nodiscard]] std::uint8_t HostSystem() const { return static_cast<std::uint8_t>(VersionMadeBy >> 8); }

    [[nodiscard]] bool IsEncrypted() const { return (Flags & 0x0001) != 0; }

    [[nodiscard]] bool HasDataDescriptor() const { return (Flags & 0x0008) != 0; }

    [[nodiscard]] bool IsDirectory() const { return !Name.empty() && Name.back() == '/'; }

    // Every directory read allocates one record per member and frees them all again; the blocks
    // of freed records are kept per thread for the next read instead of going back to the
    // allocator, whose per-thread cache holds only a few of a size.
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;
};

// '\' and '/' are the same separator in member names; the normal form uses '/'.
std::string NormaliseMemberName(std::string_view name);
void NormaliseMemberNameInPlace(std::string& name);

} // namespace archive
