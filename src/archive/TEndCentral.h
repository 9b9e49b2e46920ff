#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The end of central directory record with its Zip64 companions and the archive comment.
namespace archive {

struct TZip64EndRecord
{
    std::uint64_t RecordSize = 44;
    std::uint16_t VersionMadeBy = 45;
    std::uint16_t VersionNeeded = 45;
    std::uint32_t ThisDisk = 0;
    std::uint32_t CentralDisk = 0;
    std::uint64_t EntriesThisDisk = 0;
    std::uint64_t TotalEntries = 0;
    std::uint64_t CentralSize = 0;
    std::uint64_t CentralOffset = 0;
};

struct TZip64Locator
{
    std::uint32_t Zip64EndDisk = 0;
    std::uint64_t Zip64EndOffset = 0;
    std::uint32_t TotalDisks = 1;
};

struct TEndCentral
{
    std::uint16_t ThisDisk = 0;
    std::uint16_t CentralDisk = 0;
    // The fields as stored; all ones means "see the Zip64 end record". Use the accessors below.
    std::uint16_t EntriesThisDisk16 = 0;
    std::uint16_t TotalEntries16 = 0;
    std::uint32_t CentralSize32 = 0;
    std::uint32_t CentralOffset32 = 0;
    std::string Comment;               // archive comment bytes
    std::uint64_t CommentPosition = 0; // file position of the comment
    std::uint64_t RecordPosition = 0;  // file position of the end record itself
    bool Modified = false;
    std::optional<TZip64EndRecord> Zip64End;
    std::optional<TZip64Locator> Zip64Locator;

    [[nodiscard]] std::uint64_t EntriesThisDisk() const;
    [[nodiscard]] std::uint64_t TotalEntries() const;
    [[nodiscard]] std::uint64_t CentralSize() const;
    [[nodiscard]] std::uint64_t CentralOffset() const;
    // Values that do not fit go to the Zip64 end record (created on need) and the field gets the marker.
    void SetEntriesThisDisk(std::uint64_t value);
    void SetTotalEntries(std::uint64_t value);
    void SetCentralSize(std::uint64_t value);
    void SetCentralOffset(std::uint64_t value);
};

} // namespace archive
