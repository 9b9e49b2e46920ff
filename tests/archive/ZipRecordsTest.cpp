#include "archive/ArchiveErrors.h"
#include "archive/DosDateTime.h"
#include "archive/TEndCentral.h"
#include "archive/TSortedZip.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t Dos(int year, int month, int day, int hour, int minute, int second)
{
    const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) | (month << 5) | day;
    const std::uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
    return (date << 16) | time;
}

struct CorrectionRow
{
    std::uint32_t Stored;
    std::uint32_t Corrected;
};

class DosCorrection : public ::testing::TestWithParam<CorrectionRow>
{
};

TEST_P(DosCorrection, ClampsOutOfRangeParts)
{
    EXPECT_EQ(archive::CorrectDosDateTime(GetParam().Stored), GetParam().Corrected);
}

INSTANTIATE_TEST_SUITE_P(
    Values,
    DosCorrection,
    ::testing::Values(CorrectionRow{Dos(2025, 4, 11, 12, 0, 0), Dos(2025, 4, 11, 12, 0, 0)},
                      CorrectionRow{Dos(2025, 0, 11, 12, 0, 0), Dos(2025, 1, 11, 12, 0, 0)},
                      CorrectionRow{Dos(2025, 13, 11, 12, 0, 0), Dos(2025, 12, 11, 12, 0, 0)},
                      CorrectionRow{Dos(2025, 4, 0, 12, 0, 0), Dos(2025, 4, 1, 12, 0, 0)},
                      CorrectionRow{Dos(2025, 4, 11, 25, 0, 0), Dos(2025, 4, 11, 23, 0, 0)},
                      CorrectionRow{Dos(2025, 4, 11, 12, 63, 0), Dos(2025, 4, 11, 12, 59, 0)},
                      // 62 seconds: clamped to 59, stored halved as 29.
                      CorrectionRow{Dos(2025, 4, 11, 12, 0, 62), Dos(2025, 4, 11, 12, 0, 58)},
                      CorrectionRow{Dos(2107, 1, 1, 0, 0, 0), Dos(2099, 1, 1, 0, 0, 0)},
                      CorrectionRow{0, Dos(1980, 1, 1, 0, 0, 0)}));

TEST(DosDateTime, ReadsAsLocalTimeAndBack)
{
    // Tests run with TZ=UTC.
    const std::uint32_t stored = Dos(2025, 4, 11, 12, 0, 0);
    EXPECT_EQ(archive::DosDateTimeToTime(stored), 1744372800);
    EXPECT_EQ(archive::TimeToDosDateTime(1744372800), stored);
    EXPECT_EQ(archive::TimeToDosDateTime(0), Dos(1980, 1, 1, 0, 0, 0));
}

TEST(TZipHeaderInfo, LargeValuesMoveToZip64)
{
    archive::TZipHeaderInfo m;
    m.SetCompressedSize(100);
    EXPECT_EQ(m.CompressedSize32, 100U);
    EXPECT_FALSE(m.Zip64.has_value());
    m.SetUncompressedSize(0x1'0000'0000ULL);
    m.SetLocalHeaderOffset(0xFFFFFFFFULL);
    EXPECT_EQ(m.UncompressedSize32, 0xFFFFFFFFU);
    EXPECT_EQ(m.LocalHeaderOffset32, 0xFFFFFFFFU);
    EXPECT_EQ(m.UncompressedSize(), 0x1'0000'0000ULL);
    EXPECT_EQ(m.LocalHeaderOffset(), 0xFFFFFFFFULL);
    EXPECT_EQ(m.CompressedSize(), 100U);
}

TEST(TZipHeaderInfo, NameKeepsStoredBytesAndSplitsOnEitherSeparator)
{
    archive::TZipHeaderInfo m;
    m.SetName("ppt\\slides/slide1.xml");
    EXPECT_EQ(m.StoredName(), "ppt\\slides/slide1.xml");
    EXPECT_EQ(m.Name, "ppt/slides/slide1.xml");
    EXPECT_EQ(m.FileName(), "slide1.xml");
    EXPECT_EQ(m.Directory(), "ppt/slides/");
    m.SetName("ppt\\");
    EXPECT_TRUE(m.IsDirectory());
    EXPECT_EQ(m.FileName(), "");
}

TEST(TEndCentral, MarkersResolveThroughZip64EndRecord)
{
    archive::TEndCentral end;
    end.SetTotalEntries(70000);
    end.SetCentralOffset(0x1'2345'6789ULL);
    EXPECT_EQ(end.TotalEntries16, 0xFFFF);
    EXPECT_EQ(end.CentralOffset32, 0xFFFFFFFFU);
    ASSERT_TRUE(end.Zip64End.has_value());
    EXPECT_EQ(end.TotalEntries(), 70000U);
    EXPECT_EQ(end.CentralOffset(), 0x1'2345'6789ULL);
    end.SetCentralSize(10);
    EXPECT_EQ(end.CentralSize(), 10U);
}

archive::TZipHeaderInfo At(std::uint64_t offset, const std::string& name)
{
    archive::TZipHeaderInfo m;
    m.SetName(name);
    m.SetLocalHeaderOffset(offset);
    return m;
}

TEST(TSortedZip, KeepsPhysicalOrderAndRefusesSharedOffsets)
{
    archive::TSortedZip list;
    list.Add(At(300, "c"));
    list.Add(At(0x1'0000'0000ULL, "zip64"));
    list.Add(At(0, "a"));
    list.Add(At(100, "b"));
    ASSERT_EQ(list.Count(), 4U);
    EXPECT_EQ(list[0].Name, "a");
    EXPECT_EQ(list[1].Name, "b");
    EXPECT_EQ(list[2].Name, "c");
    EXPECT_EQ(list[3].Name, "zip64");
    EXPECT_TRUE(list.Zip64());
    EXPECT_THROW(list.Add(At(100, "again")), archive::EDuplicateObject);
    EXPECT_EQ(list.Count(), 4U);
    try {
        (void)list[9];
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (9)");
    }
}

TEST(TSortedZip, ByNameIgnoresLetterCase)
{
    archive::TSortedZip list(archive::TZipSortMode::ByName);
    list.Add(At(0, "b.xml"));
    list.Add(At(1, "A.xml"));
    list.Add(At(2, "c.xml"));
    EXPECT_EQ(list[0].Name, "A.xml");
    EXPECT_THROW(list.Add(At(3, "B.XML")), archive::EDuplicateObject);
}

TEST(ArchiveErrors, CarryFixedTextAndDetail)
{
    const archive::EIncompleteZip plain;
    EXPECT_STREQ(plain.what(), "Incomplete Zip File");
    const archive::EBiggerThanUncompressed detailed("ppt/a.xml");
    EXPECT_STREQ(detailed.what(), "File is larger than uncompressed size!: ppt/a.xml");
    EXPECT_EQ(detailed.Text(), "File is larger than uncompressed size!");
    const archive::EOle2Package ole("x.pptx");
    const archive::ENotAZipFile& asNotZip = ole;
    EXPECT_STREQ(asNotZip.what(), "encrypted or legacy OLE2 package: x.pptx");
    EXPECT_STREQ(archive::EUserCanceled().what(), "User Aborted Operation");
    // Kept for callers that catch them by name, though this reader never raises them.
    const archive::EArchiveError& canceled = archive::ECanceledUnzipToBuffer();
    EXPECT_STREQ(canceled.what(), "Extraction to memory canceled");
    const archive::EArchiveError& config = archive::EConfigFileSaveError();
    EXPECT_STREQ(config.what(), "Cannot save the configuration file");
    const archive::EZLibError& zlib = archive::EZCompressionError();
    EXPECT_STREQ(zlib.what(), "error");
}

} // namespace
