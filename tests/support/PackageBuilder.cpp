#include "support/PackageBuilder.h"

#include "support/TempDir.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace testsupport {
namespace {

void Put16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Put64(std::string& out, uint64_t v)
{
    Put32(out, static_cast<uint32_t>(v));
    Put32(out, static_cast<uint32_t>(v >> 32));
}

std::string RawDeflate(const std::string& data)
{
    z_stream zs{};
    if (deflateInit2(&zs, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2 failed");
    }
    std::string out(deflateBound(&zs, static_cast<uLong>(data.size())) + 16, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    if (rc != Z_STREAM_END) {
        throw std::runtime_error("deflate failed");
    }
    return out;
}

} // namespace

PackageBuilder& PackageBuilder::Add(const std::string& name, const std::string& content, Method method)
{
    Entry e;
    e.name = name;
    e.content = content;
    e.method = method;
    return Add(std::move(e));
}

PackageBuilder& PackageBuilder::Add(Entry entry)
{
    m_entries.push_back(std::move(entry));
    return *this;
}

PackageBuilder& PackageBuilder::ArchiveComment(const std::string& comment)
{
    m_comment = comment;
    return *this;
}

PackageBuilder& PackageBuilder::CorruptCrcOf(const std::string& name)
{
    m_badCrc.push_back(name);
    return *this;
}

PackageBuilder& PackageBuilder::DeclareUncompressedSize(const std::string& name, uint32_t size)
{
    m_sizeLies.emplace_back(name, size);
    return *this;
}

PackageBuilder& PackageBuilder::ForceZip64()
{
    m_zip64 = true;
    return *this;
}

PackageBuilder& PackageBuilder::PrependBytes(const std::string& bytes)
{
    m_prefix = bytes;
    return *this;
}

PackageBuilder& PackageBuilder::PointCentralOffsetAt(const std::string& name, const std::string& other)
{
    m_offsetAliases.emplace_back(name, other);
    return *this;
}

PackageBuilder& PackageBuilder::BreakCentralRecordOf(const std::string& name)
{
    m_brokenCentral.push_back(name);
    return *this;
}

PackageBuilder& PackageBuilder::DeclareMissingCentralExtra(const std::string& name, uint16_t length)
{
    m_missingExtra.emplace_back(name, length);
    return *this;
}

std::string PackageBuilder::Build() const
{
    std::string out = m_prefix;
    std::vector<std::pair<std::string, uint64_t>> localOffsets;
    std::string central;
    for (const Entry& e : m_entries) {
        const std::string data = e.method == Method::Deflated ? RawDeflate(e.content) : e.content;
        uint32_t crc = static_cast<uint32_t>(
            crc32(0L, reinterpret_cast<const Bytef*>(e.content.data()), static_cast<uInt>(e.content.size())));
        if (std::find(m_badCrc.begin(), m_badCrc.end(), e.name) != m_badCrc.end()) {
            crc ^= 0xDEADBEEF;
        }
        uint64_t usize = e.content.size();
        for (const auto& [name, size] : m_sizeLies) {
            if (name == e.name) {
                usize = size;
            }
        }
        const uint16_t method = e.methodOverride != 0xFFFF     ? e.methodOverride
                                : e.method == Method::Deflated ? 8
                                                               : 0;
        const uint16_t flags = static_cast<uint16_t>(e.flags | (e.dataDescriptor ? 0x0008 : 0));
        uint64_t offset = out.size();
        localOffsets.emplace_back(e.name, offset);

        std::string zip64Local;
        if (m_zip64) {
            Put16(zip64Local, 0x0001);
            Put16(zip64Local, 16);
            Put64(zip64Local, usize);
            Put64(zip64Local, data.size());
        }
        Put32(out, 0x04034b50);
        Put16(out, m_zip64 ? 45 : 20);
        Put16(out, flags);
        Put16(out, method);
        Put32(out, e.dosDateTime);
        const bool inDescriptor = e.dataDescriptor;
        Put32(out, inDescriptor ? 0 : crc);
        Put32(out, inDescriptor ? 0 : (m_zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(data.size())));
        Put32(out, inDescriptor ? 0 : (m_zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(usize)));
        Put16(out, static_cast<uint32_t>(e.name.size()));
        Put16(out, static_cast<uint32_t>(zip64Local.size() + e.localExtra.size()));
        out += e.name;
        out += zip64Local;
        out += e.localExtra;
        out += data;
        if (inDescriptor) {
            Put32(out, 0x08074b50);
            Put32(out, crc);
            Put32(out, static_cast<uint32_t>(data.size()));
            Put32(out, static_cast<uint32_t>(usize));
        }

        for (const auto& [name, other] : m_offsetAliases) {
            for (const auto& [known, knownOffset] : localOffsets) {
                if (name == e.name && known == other) {
                    offset = knownOffset;
                }
            }
        }
        std::string zip64Central;
        if (m_zip64) {
            Put16(zip64Central, 0x0001);
            Put16(zip64Central, 24);
            Put64(zip64Central, usize);
            Put64(zip64Central, data.size());
            Put64(zip64Central, offset);
        }
        auto declaredExtra = static_cast<uint16_t>(zip64Central.size() + e.centralExtra.size());
        for (const auto& [name, length] : m_missingExtra) {
            if (name == e.name) {
                declaredExtra = length;
            }
        }
        const bool broken =
            std::find(m_brokenCentral.begin(), m_brokenCentral.end(), e.name) != m_brokenCentral.end();
        Put32(central, broken ? 0x02014b51 : 0x02014b50);
        Put16(central, e.versionMadeBy);
        Put16(central, m_zip64 ? 45 : 20);
        Put16(central, flags);
        Put16(central, method);
        Put32(central, e.dosDateTime);
        Put32(central, crc);
        Put32(central, m_zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(data.size()));
        Put32(central, m_zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(usize));
        Put16(central, static_cast<uint32_t>(e.name.size()));
        Put16(central, declaredExtra);
        Put16(central, static_cast<uint32_t>(e.comment.size()));
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, e.externalAttributes);
        Put32(central, m_zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(offset));
        central += e.name;
        central += zip64Central;
        central += e.centralExtra;
        central += e.comment;
    }
    const uint64_t centralOffset = out.size();
    out += central;
    if (m_zip64) {
        const uint64_t zip64EndOffset = out.size();
        Put32(out, 0x06064b50);
        Put64(out, 44);
        Put16(out, 45);
        Put16(out, 45);
        Put32(out, 0);
        Put32(out, 0);
        Put64(out, m_entries.size());
        Put64(out, m_entries.size());
        Put64(out, central.size());
        Put64(out, centralOffset);
        Put32(out, 0x07064b50);
        Put32(out, 0);
        Put64(out, zip64EndOffset);
        Put32(out, 1);
    }
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, m_zip64 ? 0xFFFF : static_cast<uint32_t>(m_entries.size()));
    Put16(out, m_zip64 ? 0xFFFF : static_cast<uint32_t>(m_entries.size()));
    Put32(out, m_zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(central.size()));
    Put32(out, m_zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(centralOffset));
    Put16(out, static_cast<uint32_t>(m_comment.size()));
    out += m_comment;
    return out;
}

void PackageBuilder::WriteTo(const std::filesystem::path& path) const
{
    WriteFileBytes(path, Build());
}

std::string CoreXml(const std::string& children)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<cp:coreProperties "
           "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
           "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">" +
           children + "</cp:coreProperties>";
}

std::string AppXml(const std::string& children)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
           "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">" +
           children + "</Properties>";
}

PackageBuilder PackageBuilder::Presentation(const std::string& coreXml, const std::string& appXml)
{
    std::string types = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Default Extension=\"rels\" "
                        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                        "<Override PartName=\"/ppt/presentation.xml\" "
                        "ContentType=\"application/"
                        "vnd.openxmlformats-officedocument.presentationml.presentation.main+xml\"/>";
    std::string rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"ppt/presentation.xml\"/>";
    if (!coreXml.empty()) {
        types += "<Override PartName=\"/docProps/core.xml\" "
                 "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>";
        rels +=
            "<Relationship Id=\"rId2\" "
            "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" "
            "Target=\"docProps/core.xml\"/>";
    }
    if (!appXml.empty()) {
        types += "<Override PartName=\"/docProps/app.xml\" "
                 "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>";
        rels += "<Relationship Id=\"rId3\" "
                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "extended-properties\" "
                "Target=\"docProps/app.xml\"/>";
    }
    types += "</Types>";
    rels += "</Relationships>";

    PackageBuilder builder;
    builder.Add("[Content_Types].xml", types);
    builder.Add("_rels/.rels", rels);
    builder.Add("ppt/presentation.xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                "<p:presentation xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"/>" +
                    std::string(600, ' '));
    if (!coreXml.empty()) {
        builder.Add("docProps/core.xml", coreXml);
    }
    if (!appXml.empty()) {
        builder.Add("docProps/app.xml", appXml);
    }
    return builder;
}

} // namespace testsupport
