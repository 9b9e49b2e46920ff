#include "archive/ZipRecordWriter.h"

#include "archive/ZipInspector.h"
#include "archive/ZipMemberCopy.h"
#include "archive/ZipOutputFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

using namespace archive;
using testsupport::TempDir;
using writertest::RandomBytes;

struct BuildCase
{
    bool forceZip64;
    int packLevel;
};

class NewArchiveTest : public ::testing::TestWithParam<BuildCase>
{
};

// Members made from files, with the end structures, must be readable by independent tools, with the
// Zip64 forms when forced and the sizes right in both headers.
TEST_P(NewArchiveTest, FilesBecomeMembersOtherToolsAccept)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"empty.txt", ""},
        {"text.xml", std::string(100000, 'a') + "<end/>"},
        {"noise.bin", RandomBytes(700000, 7)}, // larger than the output buffer, incompressible
    };
    const auto archivePath = dir / "out.zip";
    const int fd = open(archivePath.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    {
        ZipOutputFile out(fd, archivePath.string());
        std::vector<ZipMemberRecord> records;
        for (const auto& [name, content] : files) {
            testsupport::WriteFileBytes(dir / name, content);
            NewMemberRecipe recipe;
            recipe.File = dir / name;
            recipe.StoredName = "folder/" + name;
            recipe.PackLevel = GetParam().packLevel;
            recipe.ForceZip64 = GetParam().forceZip64;
            recipe.Comment = "comment of " + name;
            records.push_back(CompressFileAsMember(recipe, out));
        }
        const auto cdOffset = out.Position();
        for (const auto& r : records) {
            out.Write(CentralRecordBytes(r));
        }
        out.Write(EndRecordsBytes(records.size(), out.Position() - cdOffset, cdOffset, "the archive",
                                  GetParam().forceZip64));
        out.Flush();
    }
    close(fd);

    std::string report;
    EXPECT_TRUE(writertest::AcceptedByOtherTools(archivePath, &report)) << report;
    const auto archive = writertest::InspectFile(archivePath);
    EXPECT_EQ(archive.Zip64End, GetParam().forceZip64);
    EXPECT_EQ(archive.Comment, "the archive");
    ASSERT_EQ(archive.Members.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& m = archive.Members[i];
        EXPECT_EQ(m.Name, "folder/" + files[i].first);
        EXPECT_EQ(m.LocalName, m.Name);
        EXPECT_EQ(m.Comment, "comment of " + files[i].first);
        EXPECT_EQ(m.Method, GetParam().packLevel == 0 ? 0 : 8);
        EXPECT_EQ(m.VersionMadeBy, 0x002D);
        EXPECT_EQ(m.VersionNeeded, GetParam().forceZip64 ? 45 : 20);
        EXPECT_EQ(m.CentralZip64, GetParam().forceZip64);
        EXPECT_EQ(m.LocalCompressedSize, m.CompressedSize);
        EXPECT_EQ(m.LocalUncompressedSize, m.UncompressedSize);
        EXPECT_EQ(m.LocalCrc32, m.Crc32);
        EXPECT_EQ(writertest::Content(m), files[i].second);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms,
    NewArchiveTest,
    ::testing::Values(BuildCase{false, 6}, BuildCase{true, 6}, BuildCase{false, 0}, BuildCase{true, 0}));

TEST(ZipRecordWriterTest, Zip64BlocksAreRemovedFromKeptExtraFields)
{
    const std::string ut = std::string("UT\x05\x00\x01\x11\x22\x33\x44", 9);
    const std::string zip64 = std::string("\x01\x00\x08\x00", 4) + std::string(8, '\x07');
    const std::string padding = std::string("\x00\x00", 2);
    const std::string broken = std::string("\x0a\x00\x20\x00\x01", 5); // claims 32 bytes, has 1
    EXPECT_EQ(WithoutZip64Block(ut + zip64), ut);
    EXPECT_EQ(WithoutZip64Block(zip64 + ut), ut);
    EXPECT_EQ(WithoutZip64Block(zip64), "");
    EXPECT_EQ(WithoutZip64Block(ut + padding), ut + padding);
    EXPECT_EQ(WithoutZip64Block(zip64 + broken), broken);
}

TEST(ZipRecordWriterTest, EndRecordsUseZip64OnlyWhenAValueDoesNotFit)
{
    EXPECT_EQ(EndRecordsBytes(0xFFFE, 10, 10, "", false).size(), 22U);
    EXPECT_EQ(EndRecordsBytes(0xFFFF, 10, 10, "", false).size(), 22U + 56 + 20);
    EXPECT_EQ(EndRecordsBytes(1, 10, 0xFFFFFFFFULL, "", false).size(), 22U + 56 + 20);
    EXPECT_EQ(EndRecordsBytes(1, 0x100000000ULL, 10, "c", false).size(), 23U + 56 + 20);
}

} // namespace
