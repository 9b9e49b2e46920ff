#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A deliberately separate, minimal ZIP parser for checking what the writer produced, so that a
// fault shared by our reader and writer cannot hide itself.
namespace writertest {

struct InspectedMember
{
    std::string Name;
    std::uint16_t VersionMadeBy = 0;
    std::uint16_t VersionNeeded = 0;
    std::uint16_t Flags = 0;
    std::uint16_t Method = 0;
    std::uint32_t DosDateTime = 0;
    std::uint32_t Crc32 = 0;
    std::uint64_t CompressedSize = 0;
    std::uint64_t UncompressedSize = 0;
    std::uint64_t Offset = 0;
    std::uint16_t InternalAttributes = 0;
    std::uint32_t ExternalAttributes = 0;
    bool CentralZip64 = false; // a 32-bit field held the marker
    std::string CentralExtra;  // without the Zip64 block
    std::string Comment;

    std::uint16_t LocalFlags = 0;
    std::uint32_t LocalCrc32 = 0;
    std::uint64_t LocalCompressedSize = 0; // resolved through the local Zip64 block
    std::uint64_t LocalUncompressedSize = 0;
    std::string LocalName;
    std::string LocalExtra; // without the Zip64 block
    std::string Data;       // compressed bytes
    std::string AfterData;  // 16 bytes after the data, to look for a descriptor
};

struct InspectedArchive
{
    std::vector<InspectedMember> Members; // central directory order
    std::string Comment;
    bool Zip64End = false;
};

InspectedArchive Inspect(const std::string& bytes);
InspectedArchive InspectFile(const std::filesystem::path& path);

// The member's content (stored or raw-deflated).
std::string Content(const InspectedMember& member);

// Incompressible content, the same for the same seed.
std::string RandomBytes(std::size_t size, unsigned seed);

// True when python's zipfile reads every member with a good CRC and `unzip -t` accepts the archive.
bool AcceptedByOtherTools(const std::filesystem::path& archive, std::string* report = nullptr);

} // namespace writertest
