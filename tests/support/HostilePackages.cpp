#include "support/HostilePackages.h"

#include "support/HostileCustomParts.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "support/ThumbnailPackages.h"
#include "support/ZipLayout.h"

#include <stdexcept>

namespace testsupport {
namespace {

namespace fs = std::filesystem;
using Method = PackageBuilder::Method;

constexpr const char* kSafeTitle = "Safe";

std::string CoreWithTitle(const std::string& title)
{
    return CoreXml("<dc:title>" + title + "</dc:title><dc:creator>Ann</dc:creator>");
}

PackageBuilder Base(const std::string& coreXml = CoreWithTitle(kSafeTitle))
{
    return PackageBuilder::Presentation(coreXml, AppXml("<Company>Acme</Company>"));
}

// Base package whose core part is stored uncompressed, so that byte-level damage to its data is
// seen by the CRC rather than by the inflater.
PackageBuilder BaseWithEntry(PackageBuilder::Entry extra)
{
    PackageBuilder b = Base();
    b.Add(std::move(extra));
    return b;
}

PackageBuilder::Entry
MakeEntry(const std::string& name, const std::string& content, Method method = Method::Deflated)
{
    PackageBuilder::Entry e;
    e.name = name;
    e.content = content;
    e.method = method;
    return e;
}

// A core part with a document type declaration inserted after the XML declaration.
std::string CoreWithDoctype(const std::string& doctype, const std::string& children)
{
    std::string xml = CoreXml(children);
    const std::size_t prologEnd = xml.find("?>") + 2;
    return xml.insert(prologEnd, "\r\n" + doctype);
}

// Applies `patch` to the bytes of the named member's records (first member of that name).
std::string PatchMember(std::string zip,
                        const std::string& name,
                        const std::function<void(std::string&, const ZipLayout::Member&)>& patch)
{
    const ZipLayout layout = ZipLayout::Parse(zip);
    for (const ZipLayout::Member& m : layout.members) {
        if (m.name == name) {
            patch(zip, m);
            return zip;
        }
    }
    throw std::runtime_error("PatchMember: no member " + name);
}

// Declares a compressed and/or uncompressed size in both headers of a member.
std::string DeclareSizes(const std::string& zip,
                         const std::string& name,
                         std::uint32_t compressed,
                         std::uint32_t uncompressed)
{
    return PatchMember(zip, name, [&](std::string& z, const ZipLayout::Member& m) {
        Set32(z, m.centralOffset + 20, compressed);
        Set32(z, m.centralOffset + 24, uncompressed);
        Set32(z, m.localOffset + 18, compressed);
        Set32(z, m.localOffset + 22, uncompressed);
    });
}

std::string Escapes(const std::string& step, int maxDepth)
{
    std::string names;
    for (int depth = 1; depth <= maxDepth; ++depth) {
        names += Repeat(step, static_cast<std::size_t>(depth)) + kEscapeMarker + '\n';
    }
    return names;
}

// A base package plus one member per line of `names`, each holding a short text.
std::string WithMembers(const std::string& names)
{
    PackageBuilder b = Base();
    std::size_t start = 0;
    while (start < names.size()) {
        const std::size_t end = names.find('\n', start);
        b.Add(names.substr(start, end - start), "escaped");
        start = end + 1;
    }
    return b.Build();
}

void AddNameCases(std::vector<HostileCase>& cases)
{
    const std::vector<std::string> safe = {kSafeTitle};
    cases.push_back(
        {"slip_dotdot", [](const fs::path&) { return WithMembers(Escapes("../", 12)); }, false, safe});
    cases.push_back(
        {"slip_backslash", [](const fs::path&) { return WithMembers(Escapes("..\\", 12)); }, false, safe});
    cases.push_back({"slip_inner_dotdot",
                     [](const fs::path&) {
                         return WithMembers(std::string("docProps/../../../") + kEscapeMarker +
                                            "\nppt\\..\\..\\..\\" + kEscapeMarker + "\nppt/./../.././" +
                                            kEscapeMarker + "\n");
                     },
                     false, safe});
    cases.push_back({"slip_absolute",
                     [](const fs::path& sandbox) {
                         return WithMembers((sandbox / kEscapeMarker).string() + "\n//" +
                                            (sandbox / "deeper" / kEscapeMarker).relative_path().string() +
                                            "\n");
                     },
                     false, safe});
    cases.push_back({"slip_drive_letter",
                     [](const fs::path&) {
                         return WithMembers(std::string("C:..\\") + kEscapeMarker + "\nC:\\..\\..\\" +
                                            kEscapeMarker + "\nC:/../../" + kEscapeMarker +
                                            "\n\\\\server\\share\\" + kEscapeMarker + "\n");
                     },
                     false, safe});
    cases.push_back({"slip_through_symlink",
                     [](const fs::path& sandbox) {
                         PackageBuilder b = Base();
                         PackageBuilder::Entry link =
                             MakeEntry("docProps/link.d", sandbox.string(), Method::Stored);
                         link.versionMadeBy = 0x0314;              // Unix
                         link.externalAttributes = 0120777u << 16; // symbolic link
                         b.Add(link);
                         b.Add(std::string("docProps/link.d/") + kEscapeMarker, "escaped");
                         return b.Build();
                     },
                     false, safe});
    cases.push_back({"name_with_nul",
                     [](const fs::path&) {
                         return WithMembers(std::string("docProps/core.xml\0.evil", 24) + "\n" +
                                            std::string("ppt/a.xml\0/../../../", 20) + kEscapeMarker + "\n");
                     },
                     false, safe});
    cases.push_back({"name_invalid_utf8",
                     [](const fs::path&) {
                         return WithMembers("ppt/\xff\xfe\x80.xml\nppt/\xc0\xae\xc0\xae\xc0\xaf" +
                                            std::string(kEscapeMarker) + "\n\xed\xa0\x80.xml\n");
                     },
                     false, safe});
    cases.push_back(
        {"name_empty_and_slash", [](const fs::path&) { return WithMembers("\n/\n./\n../\n"); }, false, safe});
    cases.push_back({"name_too_long",
                     [](const fs::path&) {
                         return WithMembers(Repeat("a", 5000) + ".xml\n" + Repeat("d/", 2000) + "x.xml\n");
                     },
                     false, safe});
    cases.push_back({"duplicate_names_in_other_case",
                     [](const fs::path&) {
                         PackageBuilder b = Base();
                         b.Add("DOCPROPS/CORE.XML", CoreWithTitle("Shadow"));
                         return b.Build();
                     },
                     false,
                     {kSafeTitle, "Shadow"}});
    cases.push_back({"duplicate_names_exact",
                     [](const fs::path&) {
                         PackageBuilder b = Base();
                         b.Add("docProps/core.xml", CoreWithTitle("Shadow"));
                         return b.Build();
                     },
                     false,
                     {kSafeTitle, "Shadow"}});
}

void AddSizeCases(std::vector<HostileCase>& cases)
{
    const std::vector<std::string> safe = {kSafeTitle};
    // 64 MiB of blanks deflate to about 64 KiB; the headers claim 300 bytes.
    cases.push_back({"core_inflates_past_declared_size",
                     [](const fs::path&) {
                         PackageBuilder b = Base(CoreWithTitle(kSafeTitle) + std::string(64u << 20, ' '));
                         b.DeclareUncompressedSize("docProps/core.xml", 300);
                         return b.Build();
                     },
                     true});
    cases.push_back({"member_inflates_past_declared_size",
                     [](const fs::path&) {
                         PackageBuilder b =
                             BaseWithEntry(MakeEntry("ppt/media/bomb.bin", std::string(64u << 20, '\0')));
                         b.DeclareUncompressedSize("ppt/media/bomb.bin", 1000);
                         return b.Build();
                     },
                     false, safe});
    cases.push_back({"core_declares_4gib",
                     [](const fs::path&) {
                         const std::string zip = Base().Build();
                         const ZipLayout layout = ZipLayout::Parse(zip);
                         for (const auto& m : layout.members) {
                             if (m.name == "docProps/core.xml") {
                                 return DeclareSizes(zip, m.name,
                                                     static_cast<std::uint32_t>(m.dataEnd - m.dataOffset),
                                                     0xFFFFFFF0u);
                             }
                         }
                         throw std::runtime_error("no core part");
                     },
                     true});
    cases.push_back(
        {"core_compressed_size_past_end",
         [](const fs::path&) { return DeclareSizes(Base().Build(), "docProps/core.xml", 0x7FFFFFF0u, 2000); },
         true});
    cases.push_back({"member_declares_4gib",
                     [](const fs::path&) {
                         const std::string zip =
                             BaseWithEntry(MakeEntry("ppt/media/big.bin", "tiny")).Build();
                         return DeclareSizes(zip, "ppt/media/big.bin", 0xFFFFFFF0u, 0xFFFFFFF0u);
                     },
                     false, safe});
    cases.push_back({"core_local_header_past_end",
                     [](const fs::path&) {
                         return PatchMember(Base().Build(), "docProps/core.xml",
                                            [](std::string& z, const ZipLayout::Member& m) {
                                                Set32(z, m.centralOffset + 42, 0x7FFFFFF0u);
                                            });
                     },
                     true});
    cases.push_back({"core_bad_crc",
                     [](const fs::path&) {
                         PackageBuilder b = Base();
                         b.CorruptCrcOf("docProps/core.xml");
                         return b.Build();
                     },
                     true});
    cases.push_back({"app_bad_crc",
                     [](const fs::path&) {
                         PackageBuilder b = Base();
                         b.CorruptCrcOf("docProps/app.xml");
                         return b.Build();
                     },
                     true});
    // 65537 members need the Zip64 end record for their count.
    HostileCase many{"entries_65537",
                     [](const fs::path&) {
                         PackageBuilder b = Base();
                         for (int i = 0; i < 65537; ++i) {
                             b.Add("m/e" + std::to_string(i) + ".txt", "x", Method::Stored);
                         }
                         b.ForceZip64();
                         return b.Build();
                     },
                     false, safe};
    many.large = true;
    cases.push_back(many);
    // The same without Zip64: the 16-bit counts wrap to 5, the directory size still covers every record.
    HostileCase wrapped{"entries_65541_count_wrapped",
                        [](const fs::path&) {
                            PackageBuilder b = Base();
                            for (int i = 0; i < 65536; ++i) {
                                b.Add("m/e" + std::to_string(i) + ".txt", "x", Method::Stored);
                            }
                            return b.Build();
                        },
                        false, safe};
    wrapped.large = true;
    cases.push_back(wrapped);
}

void AddOverlapCases(std::vector<HostileCase>& cases)
{
    const std::vector<std::string> safe = {kSafeTitle};
    // The app part's directory record points at the core part's local header.
    cases.push_back({"overlap_two_records_one_header",
                     [](const fs::path&) {
                         const std::string zip = Base().Build();
                         const ZipLayout layout = ZipLayout::Parse(zip);
                         std::size_t coreOffset = 0;
                         for (const auto& m : layout.members) {
                             if (m.name == "docProps/core.xml") {
                                 coreOffset = m.localOffset;
                             }
                         }
                         return PatchMember(
                             zip, "docProps/app.xml", [&](std::string& z, const ZipLayout::Member& m) {
                                 Set32(z, m.centralOffset + 42, static_cast<std::uint32_t>(coreOffset));
                             });
                     },
                     false, safe});
    // A stored core part whose declared length runs into the next member's local header.
    cases.push_back({"overlap_data_runs_into_next_header",
                     [](const fs::path&) {
                         PackageBuilder b;
                         b.Add("[Content_Types].xml", "<Types/>");
                         b.Add("docProps/core.xml", CoreWithTitle(kSafeTitle), Method::Stored);
                         b.Add("docProps/app.xml", AppXml("<Company>Acme</Company>"), Method::Stored);
                         const std::string zip = b.Build();
                         const ZipLayout layout = ZipLayout::Parse(zip);
                         const auto& core = layout.members.at(1);
                         const auto size = static_cast<std::uint32_t>(core.dataEnd - core.dataOffset + 40);
                         return DeclareSizes(zip, core.name, size, size);
                     },
                     true});
    // A directory of 64 records all naming one 4 MiB member: a quarter gigabyte if each is inflated.
    cases.push_back(
        {"overlap_many_records_one_member",
         [](const fs::path&) {
             const std::string zip =
                 BaseWithEntry(MakeEntry("ppt/media/zeros.bin", std::string(4u << 20, '\0'))).Build();
             const ZipLayout layout = ZipLayout::Parse(zip);
             std::vector<std::string> records;
             for (std::size_t i = 0; i < layout.members.size(); ++i) {
                 records.push_back(CentralRecord(zip, layout, i));
             }
             const std::string bomb = records.back();
             records.pop_back();
             for (int copy = 0; copy < 64; ++copy) {
                 std::string r = bomb;
                 // Same name length: "ppt/media/zeros.bin" -> "ppt/media/zNNNN.bin".
                 const std::string digits = std::to_string(1000 + copy);
                 r.replace(46 + 11, 4, digits);
                 records.push_back(r);
             }
             return WithCentralRecords(zip, records);
         },
         false, safe});
    // The archive comment holds a second, bogus end record pointing nowhere.
    cases.push_back({"comment_holds_fake_end_record",
                     [](const fs::path&) {
                         std::string fake("PK\x05\x06", 4);
                         fake += std::string(8, '\0');
                         fake += std::string("\xff\xff\xff\x7f\xff\xff\xff\x7f", 8);
                         fake += std::string(2, '\0');
                         PackageBuilder b = Base();
                         b.ArchiveComment(fake);
                         return b.Build();
                     },
                     false,
                     {}});
}

void AddMethodCases(std::vector<HostileCase>& cases)
{
    const std::vector<std::string> safe = {kSafeTitle};
    const auto coreWith = [](std::uint16_t flags, std::uint16_t method) {
        return [flags, method](const fs::path&) {
            PackageBuilder b = PackageBuilder::Presentation("", AppXml("<Company>Acme</Company>"));
            PackageBuilder::Entry core = MakeEntry("docProps/core.xml", CoreWithTitle(kSafeTitle));
            core.flags = flags;
            core.methodOverride = method;
            b.Add(core);
            return b.Build();
        };
    };
    cases.push_back({"core_encrypted", coreWith(1, 0xFFFF), true});
    cases.push_back({"core_strong_encryption", coreWith(0x41, 0xFFFF), true});
    for (const std::uint16_t method : {1, 6, 9, 12, 14, 99, 0xFFFE}) {
        cases.push_back({"core_method_" + std::to_string(method), coreWith(0, method), true});
    }
    cases.push_back({"member_encrypted",
                     [](const fs::path&) {
                         PackageBuilder::Entry e = MakeEntry("ppt/slides/slide1.xml", "<sld/>");
                         e.flags = 1;
                         return BaseWithEntry(e).Build();
                     },
                     false, safe});
    cases.push_back({"member_unknown_method",
                     [](const fs::path&) {
                         PackageBuilder::Entry e = MakeEntry("ppt/slides/slide1.xml", "<sld/>");
                         e.methodOverride = 99;
                         return BaseWithEntry(e).Build();
                     },
                     false, safe});
}

void AddTruncationCases(std::vector<HostileCase>& cases)
{
    const std::string zip = SafePackage();
    for (const std::size_t cut : ZipLayout::Parse(zip).Boundaries()) {
        cases.push_back({"truncated_at_" + std::to_string(cut),
                         [cut](const fs::path&) { return SafePackage().substr(0, cut); }, true});
    }
    cases.push_back({"not_a_zip", [](const fs::path&) { return Repeat("not a zip archive ", 60); }, true});
    cases.push_back({"ole2_container",
                     [](const fs::path&) {
                         return std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(1024, '\0');
                     },
                     true});
    // An empty file, and a ZIP archive without members, hold no presentation.
    cases.push_back({"empty_file", [](const fs::path&) { return std::string(); }, true});
    cases.push_back({"empty_zip",
                     [](const fs::path&) { return std::string("PK\x05\x06", 4) + std::string(18, '\0'); },
                     true});
}

void AddXmlCases(std::vector<HostileCase>& cases)
{
    // Builders run when a test needs the package, so that the large texts exist only while used.
    const auto core = [](std::function<std::string()> coreXml) {
        return [coreXml](const fs::path&) { return Base(coreXml()).Build(); };
    };
    const auto text = [](std::string xml) { return [xml] { return xml; }; };
    std::string laughs = "<!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    laughs += "<!ENTITY lol1 \"" + Repeat("&lol;", 10) + "\">";
    for (int i = 2; i <= 9; ++i) {
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"" +
                  Repeat("&lol" + std::to_string(i - 1) + ";", 10) + "\">";
    }
    laughs += "]>";
    cases.push_back({"xml_billion_laughs",
                     core(text(CoreWithDoctype(laughs, "<dc:title>&lol9;</dc:title>"))),
                     false,
                     {},
                     4096});
    const std::string quadratic = "<!DOCTYPE q [<!ENTITY big \"" + Repeat("x", 100000) + "\">]>";
    cases.push_back(
        {"xml_quadratic_blowup",
         core(text(CoreWithDoctype(quadratic, "<dc:title>" + Repeat("&big;", 2000) + "</dc:title>"))),
         false,
         {},
         1u << 20});
    HostileCase external{
        "xml_external_entity",
        core(text(CoreWithDoctype("<!DOCTYPE t [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>",
                                  "<dc:title>&xxe;</dc:title>"))),
        false};
    external.forbiddenText = "root:";
    cases.push_back(external);
    cases.push_back({"xml_deeply_nested",
                     core([] {
                         return CoreXml(Repeat("<x>", 200000) + Repeat("</x>", 200000) +
                                        "<dc:title>Safe</dc:title>");
                     }),
                     false,
                     {}});
    cases.push_back({"xml_deeply_nested_in_title",
                     core([] {
                         return CoreXml("<dc:title>" + Repeat("<x>", 200000) + "deep" +
                                        Repeat("</x>", 200000) + "</dc:title>");
                     }),
                     false,
                     {}});
    cases.push_back({"xml_unclosed_nesting", core([] { return CoreXml(Repeat("<x>", 100000)); }), true});
    HostileCase huge{"xml_core_50mb",
                     core([] {
                         return CoreXml("<dc:title>Safe</dc:title><dc:description>" +
                                        Repeat("lorem ipsum ", (std::size_t{50} << 20) / 12) +
                                        "</dc:description>");
                     }),
                     false,
                     {kSafeTitle},
                     std::size_t{64} << 20};
    huge.large = true;
    cases.push_back(huge);
    cases.push_back({"xml_invalid_utf8_text",
                     core(text(CoreWithTitle("bad \xff\xfe \xc3\x28 \xed\xa0\x80 end"))),
                     false,
                     {}});
    cases.push_back(
        {"xml_control_characters", core(text(CoreWithTitle("a\x01b\x1f&#1;&#x1F;c\x7f"))), false, {}});
    cases.push_back({"xml_not_well_formed", core(text("<cp:coreProperties><dc:title>Safe</dc:titl")), true});
    cases.push_back({"xml_empty_part",
                     [](const fs::path&) {
                         PackageBuilder b =
                             PackageBuilder::Presentation("", AppXml("<Company>Acme</Company>"));
                         b.Add("docProps/core.xml", "");
                         return b.Build();
                     },
                     true});
    cases.push_back({"xml_utf16_declared_utf8_bytes",
                     core([] {
                         const std::string xml = CoreWithTitle(kSafeTitle);
                         return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" +
                                xml.substr(xml.find("?>") + 2);
                     }),
                     false,
                     {}});
}

} // namespace

std::string SafePackage()
{
    return Base().Build();
}

std::vector<HostileCase> HostilePackages()
{
    std::vector<HostileCase> cases;
    AddNameCases(cases);
    AddSizeCases(cases);
    AddOverlapCases(cases);
    AddMethodCases(cases);
    AddTruncationCases(cases);
    AddXmlCases(cases);
    AddHostileCustomPartCases(cases);
    AddHostileThumbnailCases(cases);
    return cases;
}

} // namespace testsupport
