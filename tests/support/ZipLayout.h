#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Where the records of a plain (non-Zip64, comment-free) archive sit, read straight from its bytes.
// Tests use it to cut, patch and recombine packages that PackageBuilder wrote, so that each hostile
// variant differs from a valid package by exactly the damage under test.
struct ZipLayout
{
    struct Member
    {
        std::string name;
        std::size_t localOffset = 0;
        std::size_t dataOffset = 0; // first byte after the local name and extra field
        std::size_t dataEnd = 0;    // dataOffset + compressed size (a data descriptor follows it)
        std::size_t centralOffset = 0;
        std::size_t centralEnd = 0; // first byte after the central name, extra field and comment
    };

    std::vector<Member> members; // in central directory order
    std::size_t centralOffset = 0;
    std::size_t endOffset = 0; // position of the end of central directory record

    // Throws std::runtime_error when the bytes are not such an archive.
    static ZipLayout Parse(const std::string& zip);

    // Every offset at which one record or field group ends and the next begins, ascending and
    // without duplicates, excluding 0 and the full length: the places where a cut leaves a
    // structurally interesting truncated archive.
    [[nodiscard]] std::vector<std::size_t> Boundaries() const;
};

// Little-endian field access for patching archives in tests.
std::uint32_t Get16(const std::string& bytes, std::size_t at);
std::uint32_t Get32(const std::string& bytes, std::size_t at);
void Set16(std::string& bytes, std::size_t at, std::uint32_t value);
void Set32(std::string& bytes, std::size_t at, std::uint32_t value);

// Rebuilds the archive with the given central records (raw bytes, each a complete record) in
// place of its directory; the end record is rewritten to match. Local headers and data are kept.
std::string WithCentralRecords(const std::string& zip, const std::vector<std::string>& records);

// The raw central record of member i.
std::string CentralRecord(const std::string& zip, const ZipLayout& layout, std::size_t i);

} // namespace testsupport
