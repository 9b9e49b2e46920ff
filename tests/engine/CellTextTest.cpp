#include "engine/record/CellText.h"

#include <gtest/gtest.h>

#include <clocale>

namespace engine {
namespace {

struct SizeCase
{
    std::uint64_t bytes;
    const char* text;
};

class SizeText : public testing::TestWithParam<SizeCase>
{
};

TEST_P(SizeText, UsesTheThresholdsAndTwoDecimals)
{
    EXPECT_EQ(FormatSizeText(GetParam().bytes, {",", "."}), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Sizes,
                         SizeText,
                         testing::Values(SizeCase{0, "0.00 B"},
                                         SizeCase{700, "700.00 B"},
                                         SizeCase{1023, "1,023.00 B"},
                                         SizeCase{1024, "1.00 KB"},
                                         SizeCase{1536, "1.50 KB"},
                                         SizeCase{1048575, "1,024.00 KB"},
                                         SizeCase{1048576, "1.00 MB"},
                                         SizeCase{5000000, "4.77 MB"},
                                         SizeCase{1073741823, "1,024.00 MB"},
                                         SizeCase{1073741824, "1.00 GB"},
                                         SizeCase{5368709120ULL, "5.00 GB"},
                                         SizeCase{1099511627776ULL, "1,024.00 GB"},
                                         SizeCase{18446744073709551615ULL, "17,179,869,184.00 GB"}));

TEST(SizeText, UsesTheGivenSeparators)
{
    EXPECT_EQ(FormatSizeText(1234567890123ULL, {".", ","}), "1.149,78 GB");
    EXPECT_EQ(FormatSizeText(1023, {"\xE2\x80\xAF", ","}), "1\xE2\x80\xAF"
                                                           "023,00 B");
}

TEST(SizeText, FallsBackToCommaAndPointWhereTheLocaleHasNone)
{
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
    const auto separators = CurrentSeparators();
    EXPECT_EQ(separators.Thousands, ",");
    EXPECT_EQ(separators.Decimal, ".");
}

TEST(CellText, ShowsFileFactsSizeAndPropertiesByColumn)
{
    SetSeparatorOverride(NumberSeparators{"'", "."});
    DocumentRecord record;
    record.FileName = "deck.pptx";
    record.FullPath = "/data/deck.pptx";
    record.FileSize = "1536";
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        record.Value(p) = "value " + std::to_string(p);
    }
    EXPECT_EQ(CellText(record, 0), "deck.pptx");
    EXPECT_EQ(CellText(record, 1), "/data/deck.pptx");
    EXPECT_EQ(CellText(record, 2), "1.50 KB");
    EXPECT_EQ(CellText(record, 3), "value 0");
    EXPECT_EQ(CellText(record, 19), "value 16");
    EXPECT_EQ(CellText(record, 20), "");
    EXPECT_EQ(CellText(record, -1), "");
    record.FileSize = "1048575000";
    EXPECT_EQ(CellText(record, 2), "1'000.00 MB");
    record.FileSize = "";
    EXPECT_EQ(CellText(record, 2), "");
    record.FileSize = "12x";
    EXPECT_EQ(CellText(record, 2), "12x");
    SetSeparatorOverride(std::nullopt);
    record.FileSize = "1023";
    EXPECT_EQ(CellText(record, 2), "1,023.00 B");
}

} // namespace
} // namespace engine
