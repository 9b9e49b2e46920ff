#include "engine/record/DocumentRecord.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(Catalogue, NamesLookUpExactly)
{
    EXPECT_EQ(IndexOfName("dc:title", CoreElementNames), 0);
    EXPECT_EQ(IndexOfName("DC:TITLE", CoreElementNames), -1);
    EXPECT_EQ(IndexOfName("title", CoreElementNames), -1);
    EXPECT_EQ(IndexOfName("Manager", AppElementNames), 3);
    EXPECT_EQ(IndexOfName("dcterms:modified", CoreElementNames), 9);
    EXPECT_EQ(DisplayName(14), "TotalEditTime(second)");
    EXPECT_EQ(DisplayName(12), "ContentStatus");
}

TEST(Catalogue, PropertyIndexAddressesBothParts)
{
    DocumentRecord record;
    record.Value(0) = "title";
    record.Value(16) = "manager";
    record.SetChanged(13, true);
    EXPECT_EQ(record.CoreValues[0], "title");
    EXPECT_EQ(record.AppValues[3], "manager");
    EXPECT_TRUE(record.AppChanged[0]);
    EXPECT_FALSE(record.Changed(12));
}

TEST(Catalogue, ClearPropertiesKeepsFileFacts)
{
    DocumentRecord record;
    record.FileName = "a.pptx";
    record.FullPath = "/x/a.pptx";
    record.FileSize = "1234";
    record.Modified = true;
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        record.Value(p) = "v";
        record.SetChanged(p, true);
    }
    ClearProperties(record);
    EXPECT_FALSE(record.Modified);
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        EXPECT_TRUE(record.Value(p).empty());
        EXPECT_FALSE(record.Changed(p));
    }
    EXPECT_EQ(record.FileName, "a.pptx");
    EXPECT_EQ(record.FullPath, "/x/a.pptx");
    EXPECT_EQ(record.FileSize, "1234");
}

} // namespace
} // namespace engine
