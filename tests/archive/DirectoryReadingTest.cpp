#include "ArchiveFixture.h"
#include "archive/ArchiveErrors.h"
#include "support/RealCorpus.h"

#include <gtest/gtest.h>

namespace {

using archive::TArchiveReader;
using testsupport::PackageBuilder;
using Method = PackageBuilder::Method;

class DirectoryReading : public ArchiveFixture
{
protected:
    static PackageBuilder ThreeMembers()
    {
        PackageBuilder b;
        b.Add("[Content_Types].xml", "<Types/>", Method::Deflated);
        b.Add("ppt/slides/slide1.xml", std::string(5000, 's'), Method::Stored);
        b.Add("docProps/core.xml", "<core/>", Method::Deflated);
        return b;
    }

    std::vector<std::string> ReadNames(const std::filesystem::path& path)
    {
        TArchiveReader reader;
        reader.ZipName = path;
        reader.OpenDirectory();
        return Names(reader);
    }
};

TEST_F(DirectoryReading, ListsMembersInArchiveOrderWithTheirValues)
{
    PackageBuilder b = ThreeMembers();
    PackageBuilder::Entry withDescriptor;
    withDescriptor.name = "ppt/media/late.bin";
    withDescriptor.content = "0123456789";
    withDescriptor.dataDescriptor = true;
    b.Add(withDescriptor);
    TArchiveReader reader;
    reader.ZipName = Write(b);
    reader.OpenDirectory();
    ASSERT_EQ(Names(reader), (std::vector<std::string>{"[Content_Types].xml", "ppt/slides/slide1.xml",
                                                       "docProps/core.xml", "ppt/media/late.bin"}));
    const archive::TZipHeaderInfo& stored = reader.Member(1);
    EXPECT_EQ(stored.CompressionMethod, 0);
    EXPECT_EQ(stored.UncompressedSize(), 5000U);
    EXPECT_EQ(stored.CompressedSize(), 5000U);
    EXPECT_EQ(reader.Member(3).UncompressedSize(), 10U);
    EXPECT_TRUE(reader.Member(3).HasDataDescriptor());
    for (std::size_t i = 1; i < reader.Count(); ++i) {
        EXPECT_LT(reader.Member(i - 1).LocalHeaderOffset(), reader.Member(i).LocalHeaderOffset());
    }
    EXPECT_THROW((void)reader.Member(4), std::out_of_range);
}

// Archive layouts that must all read as the same three members.
struct LayoutRow
{
    const char* Label;
    void (*Apply)(PackageBuilder&);
};

class Layouts : public DirectoryReading, public ::testing::WithParamInterface<LayoutRow>
{
};

TEST_P(Layouts, ReadTheSameMembers)
{
    PackageBuilder b = ThreeMembers();
    GetParam().Apply(b);
    EXPECT_EQ(ReadNames(Write(b)), (std::vector<std::string>{"[Content_Types].xml", "ppt/slides/slide1.xml",
                                                             "docProps/core.xml"}));
}

INSTANTIATE_TEST_SUITE_P(
    Archives,
    Layouts,
    ::testing::Values(
        LayoutRow{"plain", [](PackageBuilder&) {}},
        LayoutRow{"zip64", [](PackageBuilder& b) { b.ForceZip64(); }},
        LayoutRow{"longest_comment", [](PackageBuilder& b) { b.ArchiveComment(std::string(65535, 'c')); }},
        // An end signature inside the comment must not be taken for the end record.
        LayoutRow{"comment_with_end_signature",
                  [](PackageBuilder& b) {
                      b.ArchiveComment(std::string("PK\x05\x06", 4) + std::string(40, '\xff'));
                  }},
        LayoutRow{"comment_with_whole_fake_record",
                  [](PackageBuilder& b) {
                      b.ArchiveComment(std::string("PK\x05\x06", 4) + std::string(16, '\x07') +
                                       std::string("\0\0", 2));
                  }},
        LayoutRow{"zip64_with_comment", [](PackageBuilder& b) { b.ForceZip64().ArchiveComment("note"); }},
        LayoutRow{"central_extra_length_lie",
                  [](PackageBuilder& b) { b.DeclareMissingCentralExtra("ppt/slides/slide1.xml", 9); }}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST_F(DirectoryReading, CommentIsKeptAndZip64ValuesResolve)
{
    PackageBuilder b = ThreeMembers();
    b.ForceZip64().ArchiveComment("hello");
    TArchiveReader reader;
    reader.ZipName = Write(b);
    reader.OpenDirectory();
    EXPECT_EQ(reader.EndCentral().Comment, "hello");
    EXPECT_EQ(reader.EndCentral().TotalEntries(), 3U);
    ASSERT_TRUE(reader.Member(1).Zip64.has_value());
    EXPECT_EQ(reader.Member(1).UncompressedSize32, 0xFFFFFFFFU);
    EXPECT_EQ(reader.Member(1).UncompressedSize(), 5000U);
    EXPECT_EQ(reader.ExtractToMemory(reader.Member(1), 1 << 20), std::string(5000, 's'));
}

TEST_F(DirectoryReading, EmptyFileIsAnArchiveWithoutMembers)
{
    EXPECT_TRUE(ReadNames(WriteBytes("")).empty());
}

// Files without an end record: ReadDirectory leaves the list empty, OpenDirectory says why.
struct NotAnArchiveRow
{
    const char* Label;
    std::string Bytes;
    const char* Message;

    friend void PrintTo(const NotAnArchiveRow& row, std::ostream* os) { *os << row.Label; }
};

class NotAnArchive : public DirectoryReading, public ::testing::WithParamInterface<NotAnArchiveRow>
{
};

TEST_P(NotAnArchive, IsRefused)
{
    const std::filesystem::path path = WriteBytes(GetParam().Bytes);
    TArchiveReader lenient;
    lenient.ZipName = path;
    EXPECT_NO_THROW(lenient.ReadDirectory());
    EXPECT_EQ(lenient.Count(), 0U);

    TArchiveReader strict;
    strict.ZipName = path;
    try {
        strict.OpenDirectory();
        FAIL() << "no error";
    } catch (const archive::EArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().Message), std::string::npos) << e.what();
    }
    EXPECT_EQ(strict.Count(), 0U);
}

std::string Truncated()
{
    const std::string whole = PackageBuilder().Add("a.xml", std::string(3000, 'a')).Build();
    return whole.substr(0, whole.size() - 30);
}

INSTANTIATE_TEST_SUITE_P(
    Files,
    NotAnArchive,
    ::testing::Values(NotAnArchiveRow{"text", std::string(300, 't'), "Not a valid zip file!"},
                      NotAnArchiveRow{"ten_bytes", "0123456789", "Not a valid zip file!"},
                      NotAnArchiveRow{"truncated", Truncated(), "Incomplete Zip File"},
                      NotAnArchiveRow{
                          "ole2", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'),
                          "encrypted or legacy OLE2 package"}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST_F(DirectoryReading, TruncatedArchiveIsRebuiltWhenAssumedBad)
{
    const std::string whole = ThreeMembers().Build();
    TArchiveReader reader;
    reader.ZipName = WriteBytes(whole.substr(0, whole.size() - 40));
    reader.IncompleteZipMode = archive::TIncompleteZipMode::izAssumeBad;
    reader.ReadDirectory();
    EXPECT_EQ(Names(reader), (std::vector<std::string>{"[Content_Types].xml", "ppt/slides/slide1.xml",
                                                       "docProps/core.xml"}));
    EXPECT_EQ(reader.ExtractToMemory(*reader.FindMember("docProps/core.xml"), 100), "<core/>");

    reader.IncompleteZipMode = archive::TIncompleteZipMode::izAssumeNotAZip;
    reader.ZipName = WriteBytes(whole.substr(0, whole.size() - 40), "other.zip");
    EXPECT_THROW(reader.ReadDirectory(), archive::ENotAZipFile);
}

// Damaged directories: the lenient read rebuilds the list from the local headers, the strict one refuses.
TEST_F(DirectoryReading, DamagedDirectoryIsRebuiltLenientlyAndRefusedStrictly)
{
    PackageBuilder shared = ThreeMembers();
    shared.PointCentralOffsetAt("docProps/core.xml", "[Content_Types].xml");
    PackageBuilder broken = ThreeMembers();
    broken.BreakCentralRecordOf("ppt/slides/slide1.xml");
    for (const PackageBuilder* b : {&shared, &broken}) {
        const std::filesystem::path path = Write(*b);
        TArchiveReader lenient;
        lenient.ZipName = path;
        lenient.ReadDirectory();
        EXPECT_EQ(Names(lenient), (std::vector<std::string>{"[Content_Types].xml", "ppt/slides/slide1.xml",
                                                            "docProps/core.xml"}));
        EXPECT_EQ(lenient.ExtractToMemory(lenient.Member(2), 100), "<core/>");

        TArchiveReader strict;
        strict.ZipName = path;
        EXPECT_THROW(strict.OpenDirectory(), archive::EBadZipFile);
    }
}

TEST_F(DirectoryReading, RebuildFollowsDataDescriptors)
{
    PackageBuilder b;
    for (const char* name : {"a.xml", "b.xml", "c.xml"}) {
        PackageBuilder::Entry e;
        e.name = name;
        e.content = std::string(2000, name[0]);
        e.dataDescriptor = true;
        b.Add(e);
    }
    b.BreakCentralRecordOf("a.xml");
    TArchiveReader reader;
    reader.ZipName = Write(b);
    reader.ReadDirectory();
    ASSERT_EQ(Names(reader), (std::vector<std::string>{"a.xml", "b.xml", "c.xml"}));
    EXPECT_EQ(reader.ExtractToMemory(reader.Member(2), 4096), std::string(2000, 'c'));
}

TEST_F(DirectoryReading, PrependedDataDoesNotDisturbReading)
{
    PackageBuilder b = ThreeMembers();
    b.PrependBytes(std::string(1000, 'x'));
    TArchiveReader reader;
    reader.ZipName = Write(b);
    reader.OpenDirectory();
    ASSERT_EQ(reader.Count(), 3U);
    EXPECT_EQ(reader.ExtractToMemory(reader.Member(0), 100), "<Types/>");
}

TEST_F(DirectoryReading, FindMemberMatchesPartNames)
{
    PackageBuilder b = ThreeMembers();
    b.Add("docProps\\app.xml", "<app/>");
    TArchiveReader reader;
    reader.ZipName = Write(b);
    reader.OpenDirectory();
    const archive::TZipHeaderInfo* core = reader.FindMember("/DOCPROPS/Core.XML");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->Name, "docProps/core.xml");
    const archive::TZipHeaderInfo* app = reader.FindMember("docProps/app.xml");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->StoredName(), "docProps\\app.xml");
    EXPECT_EQ(app->Name, "docProps/app.xml");
    EXPECT_EQ(reader.FindMember("docProps\\core.xml"), core);
    EXPECT_EQ(reader.FindMember("docProps/core.xm"), nullptr);
    EXPECT_EQ(reader.FindMember("core.xml"), nullptr);
}

TEST_F(DirectoryReading, RealFuzzedPackages)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    // End record present, directory damaged: rebuilt leniently, refused strictly.
    TArchiveReader lenient;
    lenient.ZipName = testsupport::RealCorpusDir() / "poi_fuzz_badcd.pptx";
    lenient.ReadDirectory();
    EXPECT_GT(lenient.Count(), 0U);
    TArchiveReader strict;
    strict.ZipName = lenient.ZipName;
    EXPECT_THROW(strict.OpenDirectory(), archive::EBadZipFile);
    // No end record at all.
    TArchiveReader noEnd;
    noEnd.ZipName = testsupport::RealCorpusDir() / "poi_fuzz_noeocd.pptx";
    EXPECT_THROW(noEnd.OpenDirectory(), archive::EIncompleteZip);
}

TEST_F(DirectoryReading, DirectoryIsReadAgainWhenTheFileChanges)
{
    const std::filesystem::path path = Write(ThreeMembers());
    TArchiveReader reader;
    reader.ZipName = path;
    reader.OpenDirectory();
    EXPECT_EQ(reader.Count(), 3U);
    PackageBuilder().Add("only.xml", "x").WriteTo(path);
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
    reader.OpenDirectory();
    EXPECT_EQ(Names(reader), (std::vector<std::string>{"only.xml"}));
    reader.ZipName = Write(ThreeMembers(), "second.zip");
    reader.OpenDirectory();
    EXPECT_EQ(reader.Count(), 3U);
}

} // namespace
