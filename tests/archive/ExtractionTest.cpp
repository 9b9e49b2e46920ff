#include "ArchiveFixture.h"
#include "archive/ArchiveErrors.h"
#include "archive/DosDateTime.h"
#include "archive/ExtractPackage.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using archive::TArchiveReader;
using testsupport::PackageBuilder;
using testsupport::ReadFileBytes;
using Method = PackageBuilder::Method;
namespace fs = std::filesystem;

PackageBuilder::Entry Entry(const std::string& name, const std::string& content)
{
    PackageBuilder::Entry e;
    e.name = name;
    e.content = content;
    return e;
}

// Every file below the folder, relative, sorted.
std::vector<std::string> FilesBelow(const fs::path& folder)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
        files.push_back(fs::relative(entry.path(), folder).string() + (entry.is_directory() ? "/" : ""));
    }
    std::sort(files.begin(), files.end());
    return files;
}

class Extraction : public ArchiveFixture
{
protected:
    // Extracts with the settings packages are unpacked with.
    int Extract(const PackageBuilder& b, TArchiveReader& reader)
    {
        reader.ZipName = Write(b);
        reader.DestDir = m_dir / "out";
        reader.ReadDirectory();
        reader.FilesList = {"*.*"};
        reader.RecreateDirs = true;
        return reader.ExtractMembers();
    }

    fs::path Out() const { return m_dir / "out"; }
};

TEST_F(Extraction, StarDotStarTakesDottedPathsIntoTheirFolders)
{
    PackageBuilder b;
    b.Add("[Content_Types].xml", "<Types/>");
    b.Add("_rels/.rels", "<Relationships/>", Method::Stored);
    b.Add("ppt/slides/slide1.xml", std::string(100000, 'x'));
    b.Add("ppt\\slides\\slide2.xml", "two"); // the other separator lands in the same place
    b.Add("mimetype", "application/zip", Method::Stored);
    b.Add("ppt/", "", Method::Stored);
    b.Add("a.b/", "", Method::Stored);
    b.Add("empty.txt", "", Method::Stored);
    TArchiveReader reader;
    EXPECT_EQ(Extract(b, reader), 6);
    EXPECT_EQ(
        FilesBelow(Out()),
        (std::vector<std::string>{"[Content_Types].xml", "_rels/", "_rels/.rels", "a.b/", "empty.txt", "ppt/",
                                  "ppt/slides/", "ppt/slides/slide1.xml", "ppt/slides/slide2.xml"}));
    EXPECT_EQ(ReadFileBytes(Out() / "ppt/slides/slide1.xml"), std::string(100000, 'x'));
    EXPECT_EQ(ReadFileBytes(Out() / "ppt/slides/slide2.xml"), "two");
    EXPECT_EQ(ReadFileBytes(Out() / "empty.txt"), "");
    EXPECT_TRUE(reader.FilesList.empty());
}

TEST_F(Extraction, WithoutRecreateDirsEverythingLandsInTheFolder)
{
    PackageBuilder b;
    b.Add("ppt/slides/slide1.xml", "one");
    b.Add("docProps/core.xml", "core");
    TArchiveReader reader;
    reader.ZipName = Write(b);
    reader.DestDir = Out();
    reader.DoAll = true;
    EXPECT_EQ(reader.ExtractMembers(), 2);
    EXPECT_EQ(FilesBelow(Out()), (std::vector<std::string>{"core.xml", "slide1.xml"}));
}

TEST_F(Extraction, NamesReachingOutsideAreSkipped)
{
    PackageBuilder b;
    for (const char* name :
         {"../evil.xml", "a/../../evil2.xml", "/abs.xml", "\\abs2.xml", "C:/drive.xml", "..\\evil3.xml"}) {
        b.Add(name, "bad");
    }
    b.Add("ok/./good.xml", "good");
    TArchiveReader reader;
    std::vector<std::string> told;
    reader.OnSkip = [&](const archive::TZipHeaderInfo& m, const std::string&) { told.push_back(m.Name); };
    EXPECT_EQ(Extract(b, reader), 1);
    EXPECT_EQ(FilesBelow(m_dir.Path()),
              (std::vector<std::string>{"out/", "out/ok/", "out/ok/good.xml", "p.zip"}));
    EXPECT_EQ(told.size(), 6U);
    EXPECT_EQ(reader.Skipped().size(), 6U);
}

TEST_F(Extraction, OutputThatCannotBeCreatedIsSkipped)
{
    PackageBuilder b;
    b.Add("f.xml", "a file");
    b.Add("f.xml/inner.xml", "below a file");
    b.Add(std::string(300, 'n') + ".xml", "name too long");
    b.Add("z.xml", "z");
    TArchiveReader reader;
    EXPECT_EQ(Extract(b, reader), 2);
    EXPECT_EQ(FilesBelow(Out()), (std::vector<std::string>{"f.xml", "z.xml"}));
    EXPECT_EQ(reader.Skipped().size(), 2U);
}

TEST_F(Extraction, LinkInsideTheDestinationDoesNotLeadOut)
{
    fs::create_directories(Out());
    fs::create_directories(m_dir / "elsewhere");
    fs::create_directory_symlink(m_dir / "elsewhere", Out() / "link");
    PackageBuilder b;
    b.Add("link/x.xml", "through the link");
    TArchiveReader reader;
    EXPECT_EQ(Extract(b, reader), 0);
    EXPECT_TRUE(FilesBelow(m_dir / "elsewhere").empty());
}

// Members that produce no file while the others are extracted.
struct SkipRow
{
    const char* Label;
    void (*Apply)(PackageBuilder&);
    bool DataError;
};

class SkippedMembers : public Extraction, public ::testing::WithParamInterface<SkipRow>
{
};

TEST_P(SkippedMembers, LeaveNoFileAndTheRestIsExtracted)
{
    PackageBuilder b;
    b.Add("first.xml", "first");
    GetParam().Apply(b);
    b.Add("last.xml", std::string(70000, 'l'));
    TArchiveReader reader;
    EXPECT_EQ(Extract(b, reader), 2);
    EXPECT_EQ(FilesBelow(Out()), (std::vector<std::string>{"first.xml", "last.xml"}));
    ASSERT_EQ(reader.Skipped().size(), 1U);
    EXPECT_EQ(reader.Skipped()[0].Name, "bad.xml");
    EXPECT_EQ(reader.Skipped()[0].DataError, GetParam().DataError);
}

INSTANTIATE_TEST_SUITE_P(
    Defects,
    SkippedMembers,
    ::testing::Values(
        SkipRow{"crc_mismatch",
                [](PackageBuilder& b) { b.Add("bad.xml", std::string(90000, 'b')).CorruptCrcOf("bad.xml"); },
                true},
        SkipRow{"stored_crc_mismatch",
                [](PackageBuilder& b) { b.Add("bad.xml", "bbb", Method::Stored).CorruptCrcOf("bad.xml"); },
                true},
        SkipRow{"larger_than_declared",
                [](PackageBuilder& b) {
                    b.Add("bad.xml", std::string(200000, 'b')).DeclareUncompressedSize("bad.xml", 1000);
                },
                true},
        SkipRow{"smaller_than_declared",
                [](PackageBuilder& b) { b.Add("bad.xml", "short").DeclareUncompressedSize("bad.xml", 1000); },
                true},
        SkipRow{"encrypted",
                [](PackageBuilder& b) {
                    PackageBuilder::Entry e = Entry("bad.xml", "secret");
                    e.flags = 1;
                    b.Add(e);
                },
                false},
        SkipRow{"legacy_method",
                [](PackageBuilder& b) {
                    PackageBuilder::Entry e = Entry("bad.xml", "imploded");
                    e.method = Method::Stored;
                    e.methodOverride = 6;
                    b.Add(e);
                },
                false}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST_F(Extraction, ExtractPackageNamesTheFirstDamagedMember)
{
    PackageBuilder b;
    b.Add("a.xml", "a");
    b.Add("ppt/bad.xml", "bad").CorruptCrcOf("ppt/bad.xml");
    b.Add("z.xml", "z");
    try {
        archive::ExtractPackage(Write(b), Out());
        FAIL() << "no error";
    } catch (const archive::EArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("ppt/bad.xml"), std::string::npos) << e.what();
    }
    EXPECT_EQ(FilesBelow(Out()), (std::vector<std::string>{"a.xml", "ppt/", "z.xml"}));
    EXPECT_THROW(archive::ExtractPackage(WriteBytes("0123456789", "ten.zip"), m_dir / "ten"),
                 archive::EArchiveError);
    EXPECT_TRUE(FilesBelow(m_dir / "ten").empty());
}

TEST_F(Extraction, CorruptDataEndsTheExtractionWithoutPartialFiles)
{
    PackageBuilder b;
    b.Add("a.xml", "a");
    PackageBuilder::Entry corrupt = Entry("broken.xml", std::string(50000, '\xff'));
    corrupt.method = Method::Stored;
    corrupt.methodOverride = 8;
    b.Add(corrupt);
    b.Add("z.xml", "z");
    TArchiveReader reader;
    EXPECT_THROW(Extract(b, reader), archive::EZCompressionError);
    EXPECT_EQ(FilesBelow(Out()), (std::vector<std::string>{"a.xml"}));
}

TEST_F(Extraction, NotAnArchiveThrowsFromExtractMembers)
{
    TArchiveReader reader;
    reader.ZipName = WriteBytes(std::string(100, 'n'));
    reader.DestDir = Out();
    reader.DoAll = true;
    reader.ReadDirectory();
    EXPECT_EQ(reader.Count(), 0U);
    EXPECT_THROW(reader.ExtractMembers(), archive::EIncompleteZip);
}

TEST_F(Extraction, CancelStopsAndLeavesNoPartialFile)
{
    PackageBuilder b;
    b.Add("a.xml", "a");
    std::string big(3'000'000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>((i * 7919) >> 5);
    }
    b.Add("big.bin.xml", big, Method::Stored);
    TArchiveReader reader;
    // Stop in the middle of the big member, after some of it has been written.
    reader.OnProgress = [&](std::uint64_t done, std::uint64_t) { return done < 1'000'000; };
    try {
        Extract(b, reader);
        FAIL() << "not canceled";
    } catch (const archive::EUserCanceled& e) {
        EXPECT_STREQ(e.what(), "User Aborted Operation");
    }
    EXPECT_EQ(FilesBelow(Out()), (std::vector<std::string>{"a.xml"}));
}

// The overwrite policy for an output that already exists (dated 2000; the member is dated 2025).
struct OverwriteRow
{
    archive::TOverwriteMode Mode;
    bool Answer;
    bool Replaced;
};

class Overwrite : public Extraction, public ::testing::WithParamInterface<OverwriteRow>
{
};

TEST_P(Overwrite, FollowsTheMode)
{
    fs::create_directories(Out() / "ppt/slides");
    testsupport::WriteFileBytes(Out() / "ppt/slides/slide1.xml", "old");
    const struct timespec year2000[2] = {{946684800, 0}, {946684800, 0}};
    ::utimensat(AT_FDCWD, (Out() / "ppt/slides/slide1.xml").c_str(), year2000, 0);
    PackageBuilder b;
    b.Add("ppt/slides/slide1.xml", "new");
    TArchiveReader reader;
    reader.OverwriteMode = GetParam().Mode;
    std::string question;
    reader.OnOverwritePrompt = [&](const std::string& q) {
        question = q;
        return GetParam().Answer;
    };
    EXPECT_EQ(Extract(b, reader), GetParam().Replaced ? 1 : 0);
    EXPECT_EQ(ReadFileBytes(Out() / "ppt/slides/slide1.xml"), GetParam().Replaced ? "new" : "old");
    if (GetParam().Mode == archive::TOverwriteMode::Prompt) {
        EXPECT_EQ(question, "Replace existing file slide1.xml?");
    }
}

INSTANTIATE_TEST_SUITE_P(Modes,
                         Overwrite,
                         ::testing::Values(OverwriteRow{archive::TOverwriteMode::Prompt, true, true},
                                           OverwriteRow{archive::TOverwriteMode::Prompt, false, false},
                                           OverwriteRow{archive::TOverwriteMode::Always, false, true},
                                           OverwriteRow{archive::TOverwriteMode::Never, true, false},
                                           OverwriteRow{archive::TOverwriteMode::ifNewer, false, true},
                                           OverwriteRow{archive::TOverwriteMode::ifOlder, false, false}));

TEST_F(Extraction, PromptWithoutAnswererKeepsTheOldFile)
{
    fs::create_directories(Out());
    testsupport::WriteFileBytes(Out() / "a.xml", "old");
    TArchiveReader reader;
    EXPECT_EQ(Extract(PackageBuilder().Add("a.xml", "new"), reader), 0);
    EXPECT_EQ(ReadFileBytes(Out() / "a.xml"), "old");
}

TEST_F(Extraction, FilesCarryTheCorrectedStoredTime)
{
    PackageBuilder b;
    PackageBuilder::Entry normal = Entry("normal.xml", "n");
    normal.dosDateTime = 0x5A8B6000; // 2025-04-11 12:00:00
    PackageBuilder::Entry monthZero = Entry("month0.xml", "m");
    monthZero.dosDateTime = (((2020 - 1980) << 9 | 0 << 5 | 15) << 16) | (25 << 11);
    b.Add(normal).Add(monthZero);
    TArchiveReader reader;
    Extract(b, reader);

    struct stat st = {};
    ASSERT_EQ(::stat((Out() / "normal.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1744372800); // TZ=UTC
    ASSERT_EQ(::stat((Out() / "month0.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1579129200); // 2020-01-15 23:00:00
}

// Stored attributes: Unix permission bits within reason, DOS read-only as no write permission.
struct AttributeRow
{
    std::uint16_t VersionMadeBy;
    std::uint32_t External;
    mode_t Mode; // 0: whatever a new file gets
};

class Attributes : public Extraction, public ::testing::WithParamInterface<AttributeRow>
{
};

TEST_P(Attributes, AreAppliedSafely)
{
    PackageBuilder::Entry e = Entry("f.xml", "content");
    e.versionMadeBy = GetParam().VersionMadeBy;
    e.externalAttributes = GetParam().External;
    TArchiveReader reader;
    ASSERT_EQ(Extract(PackageBuilder().Add(e), reader), 1);

    struct stat st = {};
    ASSERT_EQ(::stat((Out() / "f.xml").c_str(), &st), 0);
    const mode_t expected = GetParam().Mode != 0 ? GetParam().Mode : (0666 & ~[] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }());
    EXPECT_EQ(st.st_mode & 07777, expected);
    EXPECT_EQ(ReadFileBytes(Out() / "f.xml"), "content");
}

INSTANTIATE_TEST_SUITE_P(Hosts,
                         Attributes,
                         ::testing::Values(AttributeRow{0x031E, 0100755U << 16, 0755},
                                           AttributeRow{0x031E, 0104777U << 16, 0777}, // set-uid dropped
                                           AttributeRow{0x031E, 0100000U << 16, 0400}, // owner keeps reading
                                           AttributeRow{0x031E, 0100640U << 16, 0640},
                                           AttributeRow{20, 0x20, 0},   // DOS archive only
                                           AttributeRow{20, 0x06, 0})); // hidden, system ignored

TEST_F(Extraction, DosReadOnlyRemovesWritePermission)
{
    PackageBuilder::Entry e = Entry("ro.xml", "x");
    e.externalAttributes = 0x01;
    TArchiveReader reader;
    Extract(PackageBuilder().Add(e), reader);

    struct stat st = {};
    ASSERT_EQ(::stat((Out() / "ro.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0U);
}

// Reading one member into memory.
TEST_F(Extraction, ExtractToMemoryReturnsContentAndRefusesBadMembers)
{
    PackageBuilder b;
    b.Add("docProps/core.xml", "<core/>");
    b.Add("big.xml", std::string(300000, 'g'));
    b.Add("crc.xml", "crc").CorruptCrcOf("crc.xml");
    b.Add("lie.xml", std::string(5000, 'l')).DeclareUncompressedSize("lie.xml", 100);
    PackageBuilder::Entry encrypted = Entry("enc.xml", "secret");
    encrypted.flags = 1;
    PackageBuilder::Entry bzip = Entry("bz.xml", "x");
    bzip.methodOverride = 12;
    b.Add(encrypted).Add(bzip);
    TArchiveReader reader;
    reader.ZipName = Write(b);
    reader.OpenDirectory();
    EXPECT_EQ(reader.ExtractToMemory(*reader.FindMember("docProps/core.xml"), 1000), "<core/>");
    EXPECT_EQ(reader.ExtractToMemory(*reader.FindMember("big.xml"), 300000), std::string(300000, 'g'));
    EXPECT_THROW(reader.ExtractToMemory(*reader.FindMember("big.xml"), 299999), archive::EMemberTooLarge);
    EXPECT_THROW(reader.ExtractToMemory(*reader.FindMember("crc.xml"), 1000), archive::EBadCrc);
    EXPECT_THROW(reader.ExtractToMemory(*reader.FindMember("lie.xml"), 100000),
                 archive::EBiggerThanUncompressed);
    EXPECT_THROW(reader.ExtractToMemory(*reader.FindMember("enc.xml"), 1000), archive::EEncryptedMember);
    EXPECT_THROW(reader.ExtractToMemory(*reader.FindMember("bz.xml"), 1000), archive::EUnsupportedMember);
}

TEST_F(Extraction, ExtractToMemoryOfACutFileSaysPrematureEnd)
{
    PackageBuilder b;
    b.Add("a.xml", "a");
    b.Add("tail.xml", std::string(200000, 't'), Method::Stored);
    TArchiveReader reader;
    reader.ZipName = Write(b);
    reader.OpenDirectory();
    reader.CloseArchive();
    fs::resize_file(reader.ZipName, reader.Member(1).LocalHeaderOffset() + 1000);
    EXPECT_THROW(reader.ExtractToMemory(reader.Member(1), 1 << 20), archive::EFatalUnzipError);
}

} // namespace
