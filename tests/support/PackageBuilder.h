#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// Writes ZIP packages for tests, independently of the archive layer under test, so that a reader
// bug cannot hide behind a matching writer bug. Each defect switch adds exactly one fault.
class PackageBuilder
{
public:
    enum class Method
    {
        Stored,
        Deflated,
    };

    struct Entry
    {
        std::string name;
        std::string content;
        Method method = Method::Deflated;
        bool dataDescriptor = false;
        std::string comment;
        uint16_t flags = 0;        // extra general purpose flags (e.g. 1 = encrypted, 0x800 = UTF-8)
        uint16_t methodOverride = 0xFFFF; // write this method number instead of the real one
        uint32_t externalAttributes = 0;
        uint16_t versionMadeBy = 20; // high byte: host (0 DOS, 3 Unix)
        uint32_t dosDateTime = 0x5A8B6000; // 2025-04-11 12:00:00
        std::string localExtra;   // extra field bytes after any Zip64 block, local header
        std::string centralExtra; // the same for the central record
    };

    PackageBuilder& Add(const std::string& name, const std::string& content, Method method = Method::Deflated);
    PackageBuilder& Add(Entry entry);
    PackageBuilder& ArchiveComment(const std::string& comment);

    // Defects.
    PackageBuilder& CorruptCrcOf(const std::string& name);     // central and local CRC wrong
    PackageBuilder& DeclareUncompressedSize(const std::string& name, uint32_t size); // lie in both headers
    PackageBuilder& ForceZip64();                              // Zip64 end records and extra blocks
    PackageBuilder& PrependBytes(const std::string& bytes);    // data before the first local header
    // The central record of name gives the local header offset of other (two members at one offset).
    PackageBuilder& PointCentralOffsetAt(const std::string& name, const std::string& other);
    PackageBuilder& BreakCentralRecordOf(const std::string& name); // wrong central record signature
    // The central record of name declares an extra field of this length that is not there.
    PackageBuilder& DeclareMissingCentralExtra(const std::string& name, uint16_t length);

    // A minimal presentation: [Content_Types].xml, _rels/.rels and the given property parts
    // (an empty text leaves that part out).
    static PackageBuilder Presentation(const std::string& coreXml, const std::string& appXml);

    [[nodiscard]] std::string Build() const;
    void WriteTo(const std::filesystem::path& path) const;

private:
    std::vector<Entry> m_entries;
    std::string m_comment;
    std::vector<std::string> m_badCrc;
    std::vector<std::pair<std::string, uint32_t>> m_sizeLies;
    bool m_zip64 = false;
    std::string m_prefix;
    std::vector<std::pair<std::string, std::string>> m_offsetAliases;
    std::vector<std::string> m_brokenCentral;
    std::vector<std::pair<std::string, uint16_t>> m_missingExtra;
};

// Core and app part texts in the usual form, for tests that only need some values present.
std::string CoreXml(const std::string& children);
std::string AppXml(const std::string& children);

} // namespace testsupport
