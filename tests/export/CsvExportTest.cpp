#include "engine/record/DocumentList.h"
#include "engine/tables/ImportTable.h"
#include "export/BuildCsv.h"
#include "export/RowFields.h"

#include <gtest/gtest.h>

#include <sstream>

namespace exporting {
namespace {

TEST(CsvField, QuotesOnlyWhenNeeded)
{
    EXPECT_EQ(CsvField("plain text"), "plain text");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField("semi;colon"), "semi;colon");
    EXPECT_EQ(CsvField(""), "");
}

class CsvExportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        engine::DocumentRecord& awkward = m_rows.AppendRow();
        awkward.FileName = "a,b.pptx";
        awkward.FullPath = "/decks/a,b.pptx";
        awkward.FileSize = "1234";
        awkward.CoreValues[0] = "Say \"hi\"; twice";
        awkward.CoreValues[1] = "two\r\nlines";
        awkward.CoreValues[2] = "  padded  ";
        engine::DocumentRecord& broken = m_rows.AppendRow();
        broken.FileName = "bad\xff.pptx";
        broken.FullPath = "/decks/bad\xff.pptx";
        broken.FileSize = "unknown";
        broken.LastError = "not a package";
    }

    engine::VectorDocumentList m_rows;
};

// The import's reader gets back exactly the texts written, separators and line breaks included.
TEST_F(CsvExportTest, ImportReaderReadsBackEveryField)
{
    const GridSnapshot grid = CsvSnapshotOf(m_rows);
    std::ostringstream csv;
    BuildCsv(csv, grid);
    const engine::ImportTable table = engine::ReadCsvTable(csv.str(), "t.csv");
    ASSERT_EQ(table.Rows.size(), 3u);
    EXPECT_EQ(table.Rows[0], RowKeys());
    EXPECT_EQ(table.Rows[1], grid.Rows[0]);
    EXPECT_EQ(table.Rows[2], grid.Rows[1]);
    EXPECT_EQ(table.Rows[1][3], "Say \"hi\"; twice");
    EXPECT_EQ(table.Rows[1][4], "two\r\nlines");
    EXPECT_EQ(table.Rows[1][5], "  padded  ");
    EXPECT_EQ(csv.str().substr(csv.str().size() - 2), "\r\n");
}

TEST_F(CsvExportTest, SizeInBytesErrorColumnAndRepairedText)
{
    const GridSnapshot grid = CsvSnapshotOf(m_rows, {"Client", "Bad\xfe"});
    ASSERT_EQ(grid.Captions.size(), RowKeys().size() + 2);
    EXPECT_EQ(grid.Captions.back(), "Custom:Bad\xEF\xBF\xBD"); // never read as a built-in column
    const std::vector<std::string>& awkward = grid.Rows[0];
    const std::vector<std::string>& broken = grid.Rows[1];
    ASSERT_EQ(broken.size(), grid.Captions.size());
    EXPECT_EQ(awkward[2], "1234");
    EXPECT_EQ(broken[2], ""); // a size that is no number of bytes is left out
    EXPECT_EQ(broken[0], "bad\xEF\xBF\xBD.pptx");
    EXPECT_EQ(broken[RowKeys().size() - 1], "not a package");
    EXPECT_EQ(awkward[RowKeys().size() - 1], "");
}

} // namespace
} // namespace exporting
