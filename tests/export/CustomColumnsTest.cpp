#include "export/CustomColumns.h"

#include "engine/record/DocumentList.h"
#include "export/BuildXml.h"
#include "export/DefaultCaptions.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <sstream>

namespace exporting {
namespace {

TEST(CustomAttributeName, ReplacesWhatCannotStandInAnXmlNameAndNumbersClashes)
{
    EXPECT_EQ(CustomAttributeName("Client", {}), "Custom_Client");
    EXPECT_EQ(CustomAttributeName("a b:c<d>\"e\"", {}), "Custom_a_b_c_d__e_");
    EXPECT_EQ(CustomAttributeName("1st-rev.2", {}), "Custom_1st-rev.2");
    EXPECT_EQ(CustomAttributeName("Z\xC3\xBC\x72ich \xE6\x97\xA5", {}),
              "Custom_Z\xC3\xBC\x72ich_\xE6\x97\xA5");
    EXPECT_EQ(CustomAttributeName("bad\xFF\xFE", {}), "Custom_bad__");
    EXPECT_EQ(CustomAttributeName("a b", {"Custom_a_b", "Custom_a_b_2"}), "Custom_a_b_3");
}

engine::VectorDocumentList Rows()
{
    engine::VectorDocumentList rows;
    engine::DocumentRecord& first = rows.AppendRow();
    first.FileName = "a.docx";
    first.Custom.Items = {{"x y", "vt:lpwstr", "1 & <2>", false}, {"Title", "vt:i4", "7", false}};
    engine::DocumentRecord& second = rows.AppendRow();
    second.FileName = "b.xlsx";
    second.Custom.Items = {{"x_y", "vt:lpwstr", "3", false}, {"X Y", "vt:lpwstr", "same name", false}};
    rows.AppendRow().FileName = "c.pptx";
    return rows;
}

TEST(AddCustomColumns, OneColumnPerNameAfterTheStandardOnesWithUniqueAttributes)
{
    const engine::VectorDocumentList rows = Rows();
    GridSnapshot grid = SnapshotOf(rows, DefaultCaptions());
    AddCustomColumns(grid, rows);
    ASSERT_EQ(grid.Captions.size(), 23u);
    EXPECT_EQ(std::vector<std::string>(grid.Captions.begin() + 20, grid.Captions.end()),
              (std::vector<std::string>{"Custom:x y", "Custom:Title", "Custom:x_y"}));
    EXPECT_EQ(grid.Rows[1][20], "same name");
    EXPECT_EQ(grid.Rows[2].size(), 23u);

    std::ostringstream out;
    BuildXml(out, grid);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(out.str().c_str())) << out.str();
    const pugi::xml_node first = doc.child("files").child("file");
    EXPECT_STREQ(first.attribute("Custom_x_y").value(), "1 & <2>");
    EXPECT_STREQ(first.attribute("Custom_Title").value(), "7");
    EXPECT_STREQ(first.attribute("Title").value(), "");
    EXPECT_STREQ(first.next_sibling().attribute("Custom_x_y_2").value(), "3");
    EXPECT_EQ(std::distance(first.attributes_begin(), first.attributes_end()), 23);
}

TEST(AddCustomColumns, RowsWithoutCustomPropertiesLeaveTheGridAsItWas)
{
    engine::VectorDocumentList rows;
    rows.AppendRow().FileName = "a.pptx";
    GridSnapshot grid = SnapshotOf(rows, DefaultCaptions());
    const GridSnapshot before = grid;
    AddCustomColumns(grid, rows);
    EXPECT_EQ(grid.Captions, before.Captions);
    EXPECT_TRUE(grid.AttributeNames.empty());
}

} // namespace
} // namespace exporting
