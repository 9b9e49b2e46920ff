#include "engine/package/ReadThumbnail.h"

#include "support/TempDir.h"
#include "support/ThumbnailPackages.h"

#include <gtest/gtest.h>

#include <cctype>

namespace engine {
namespace {

using testsupport::PackageBuilder;
using testsupport::PictureBytes;
using testsupport::ThumbnailPackage;
using testsupport::ThumbnailRel;

const std::string kPicture = PictureBytes(3000);

struct ThumbnailCase
{
    const char* label;
    PackageBuilder package;
    std::string partName;  // expected member; empty: the read must fail
    std::string extension; // expected extension
    std::string error;     // a text the error must hold
};

void PrintTo(const ThumbnailCase& c, std::ostream* out)
{
    *out << c.label;
}

class ReadThumbnailTest : public testing::TestWithParam<ThumbnailCase>
{
};

TEST_P(ReadThumbnailTest, ReadsThePartTheRelationshipNamesOrSaysWhyNot)
{
    const ThumbnailCase& c = GetParam();
    testsupport::TempDir dir;
    c.package.WriteTo(dir / "deck.pptx");
    const Thumbnail thumbnail = ReadThumbnail(dir / "deck.pptx");
    if (c.partName.empty()) {
        EXPECT_FALSE(thumbnail.Ok());
        EXPECT_NE(thumbnail.Error.find(c.error), std::string::npos) << thumbnail.Error;
        EXPECT_EQ(thumbnail.Error.find(dir.Path().string()), std::string::npos) << thumbnail.Error;
        EXPECT_TRUE(thumbnail.Bytes.empty());
    } else {
        ASSERT_TRUE(thumbnail.Ok()) << thumbnail.Error;
        EXPECT_TRUE(thumbnail.Bytes == kPicture);
        EXPECT_EQ(thumbnail.PartName, c.partName);
        EXPECT_EQ(thumbnail.Extension, c.extension);
    }
}

PackageBuilder To(const std::string& target, const std::string& attributes = "")
{
    return ThumbnailPackage(ThumbnailRel(target, attributes)).Add("docProps/thumbnail.jpeg", kPicture);
}

INSTANTIATE_TEST_SUITE_P(
    Packages,
    ReadThumbnailTest,
    testing::Values(
        ThumbnailCase{"by the relationship", To("docProps/thumbnail.jpeg"), "docProps/thumbnail.jpeg", "jpeg",
                      ""},
        ThumbnailCase{
            "from the root, dot segments inside the package",
            ThumbnailPackage(ThumbnailRel("/media/./x/../Thumb.PNG")).Add("media/Thumb.PNG", kPicture),
            "media/Thumb.PNG", "png", ""},
        ThumbnailCase{"ISO Strict type, no extension",
                      ThumbnailPackage(ThumbnailRel("thumb", "", true)).Add("thumb", kPicture), "thumb", "",
                      ""},
        ThumbnailCase{"the preferred type before document order",
                      ThumbnailPackage(ThumbnailRel("other.jpeg", "", true) + ThumbnailRel("t.jpeg"))
                          .Add("other.jpeg", "other")
                          .Add("t.jpeg", kPicture),
                      "t.jpeg", "jpeg", ""},
        ThumbnailCase{"no thumbnail relationship", ThumbnailPackage(""), "", "",
                      "the package has no thumbnail"},
        ThumbnailCase{"no relationships part", PackageBuilder().Add("docProps/thumbnail.jpeg", kPicture), "",
                      "", "the package has no thumbnail"},
        ThumbnailCase{"external target", To("http://example.invalid/t.jpeg", " TargetMode=\"External\""), "",
                      "", "outside the package"},
        ThumbnailCase{"dot-dot above the root", To("docProps/../../thumbnail.jpeg"), "", "",
                      "\"docProps/../../thumbnail.jpeg\" lies outside the package"},
        ThumbnailCase{"absolute URI", To("file:///docProps/thumbnail.jpeg"), "", "",
                      "lies outside the package"},
        ThumbnailCase{"drive letter", To("C:\\docProps\\thumbnail.jpeg"), "", "", "lies outside the package"},
        ThumbnailCase{"network path", To("\\\\server\\docProps\\thumbnail.jpeg"), "", "",
                      "lies outside the package"},
        ThumbnailCase{"missing member", To("docProps/thumbnail.png"), "", "",
                      "names no member of the package"},
        ThumbnailCase{"two members of its name",
                      To("docProps/thumbnail.jpeg").Add("docProps/Thumbnail.jpeg", "x"), "", "",
                      "two members named docProps/thumbnail.jpeg"},
        ThumbnailCase{"declared larger than the bound",
                      ThumbnailPackage(ThumbnailRel("docProps/thumbnail.jpeg"))
                          .Add("docProps/thumbnail.jpeg", std::string(kMaxThumbnailBytes + 1, 'a')),
                      "", "",
                      "docProps/thumbnail.jpeg: 8388609 bytes, more than a thumbnail may have (8 MiB)"}),
    [](const testing::TestParamInfo<ThumbnailCase>& info) {
        std::string name;
        for (const char c : std::string(info.param.label)) {
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

} // namespace
} // namespace engine
