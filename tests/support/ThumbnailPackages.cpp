#include "support/ThumbnailPackages.h"

namespace testsupport {

namespace {

namespace fs = std::filesystem;

constexpr const char* kThumbnailName = "docProps/thumbnail.jpeg";

HostileCase ThumbnailCase(std::string name, HostileCase::Builder build)
{
    HostileCase hostile(std::move(name), std::move(build), false, {"Safe"});
    hostile.thumbnailMustFail = true;
    return hostile;
}

// A package whose only thumbnail relationship leads to target, which holds a small picture.
HostileCase::Builder Targeting(std::string target, std::string attributes = "")
{
    return [target, attributes](const fs::path&) {
        return ThumbnailPackage(ThumbnailRel(target, attributes))
            .Add(kThumbnailName, PictureBytes(500))
            .Build();
    };
}

// A package whose thumbnail member holds content (of the given method), its sizes declared as they are
// unless declared is given.
HostileCase::Builder
WithThumbnail(std::string content, PackageBuilder::Method method, std::uint32_t declared = 0)
{
    return [content, method, declared](const fs::path&) {
        PackageBuilder b = ThumbnailPackage(ThumbnailRel(kThumbnailName));
        b.Add(kThumbnailName, content, method);
        if (declared != 0) {
            b.DeclareUncompressedSize(kThumbnailName, declared);
        }
        return b.Build();
    };
}

} // namespace

PackageBuilder ThumbnailPackage(const std::string& relationships)
{
    PackageBuilder b;
    b.Add("[Content_Types].xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
                                 "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                                 "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                                 "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/></Types>");
    b.Add("_rels/.rels",
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/"
          "metadata/core-properties\" Target=\"docProps/core.xml\"/>"
          "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
          "relationships/extended-properties\" Target=\"docProps/app.xml\"/>" +
              relationships + "</Relationships>");
    b.Add("ppt/presentation.xml", "<p:presentation xmlns:p=\"urn:p\"/>");
    b.Add("docProps/core.xml", CoreXml("<dc:title>Safe</dc:title>"));
    b.Add("docProps/app.xml", AppXml("<Application>Velmora Tests</Application><Slides>3</Slides>"
                                     "<Company>Acme</Company>"));
    return b;
}

std::string ThumbnailRel(const std::string& target, const std::string& attributes, bool strict)
{
    const std::string type =
        strict ? "http://purl.oclc.org/ooxml/officeDocument/relationships/metadata/thumbnail"
               : "http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail";
    return "<Relationship Id=\"rIdT\" Type=\"" + type + "\" Target=\"" + target + "\"" + attributes + "/>";
}

std::string PictureBytes(std::size_t n)
{
    std::string bytes = "\xFF\xD8\xFF\xE0";
    std::uint32_t state = 12345;
    while (bytes.size() < n) {
        state = state * 1103515245U + 12345U;
        bytes += static_cast<char>(state >> 24);
    }
    bytes.resize(n);
    return bytes;
}

void AddHostileThumbnailCases(std::vector<HostileCase>& cases)
{
    using Method = PackageBuilder::Method;
    const std::string zeros(64U << 20, '\0');
    // 64 MiB of zeros deflate to about 64 KiB.
    cases.push_back(ThumbnailCase("thumbnail_zip_bomb", WithThumbnail(zeros, Method::Deflated)));
    cases.push_back(
        ThumbnailCase("thumbnail_bomb_declared_small", WithThumbnail(zeros, Method::Deflated, 1000)));
    cases.push_back(ThumbnailCase("thumbnail_bomb_declared_just_under_the_bound",
                                  WithThumbnail(zeros, Method::Deflated, (8U << 20) - 1)));
    HostileCase huge =
        ThumbnailCase("thumbnail_huge_stored", WithThumbnail(PictureBytes(9U << 20), Method::Stored));
    huge.large = true; // 9 MiB: kept out of the fuzz seeds
    cases.push_back(huge);
    cases.push_back(ThumbnailCase("thumbnail_target_climbs_out",
                                  Targeting("docProps/../../" + std::string(kEscapeMarker))));
    cases.push_back(ThumbnailCase("thumbnail_target_absolute_uri", Targeting("file:///etc/passwd")));
    cases.push_back(ThumbnailCase("thumbnail_target_network_path", Targeting("//server/share/t.jpeg")));
    cases.push_back(ThumbnailCase("thumbnail_target_external",
                                  Targeting("http://example.invalid/t.jpeg", " TargetMode=\"External\"")));
    cases.push_back(ThumbnailCase("thumbnail_target_missing", Targeting("docProps/other.jpeg")));
    cases.push_back(ThumbnailCase("thumbnail_target_folder", Targeting("docProps/")));
    cases.push_back(ThumbnailCase("thumbnail_bad_crc", [](const fs::path&) {
        return ThumbnailPackage(ThumbnailRel(kThumbnailName))
            .Add(kThumbnailName, PictureBytes(4000), Method::Stored)
            .CorruptCrcOf(kThumbnailName)
            .Build();
    }));
    cases.push_back(ThumbnailCase("thumbnail_encrypted", [](const fs::path&) {
        PackageBuilder::Entry entry;
        entry.name = kThumbnailName;
        entry.content = PictureBytes(4000);
        entry.flags = 1;
        return ThumbnailPackage(ThumbnailRel(kThumbnailName)).Add(entry).Build();
    }));
    cases.push_back(ThumbnailCase("thumbnail_two_members_of_its_name", [](const fs::path&) {
        return ThumbnailPackage(ThumbnailRel(kThumbnailName))
            .Add(kThumbnailName, PictureBytes(400))
            .Add("DocProps/Thumbnail.JPEG", PictureBytes(300))
            .Build();
    }));
}

} // namespace testsupport
