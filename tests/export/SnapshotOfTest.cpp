#include "engine/record/CellText.h"
#include "engine/record/DocumentList.h"
#include "export/BuildCsv.h"
#include "export/DefaultCaptions.h"
#include "export/GridSnapshot.h"
#include "export/RowFields.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace exporting {
namespace {

TEST(SnapshotOfTest, TakesEveryRowAndColumnInIndexOrder)
{
    engine::VectorDocumentList list;
    for (const char* name : {"b.pptx", "a.pptx"}) {
        engine::DocumentRecord& record = list.AppendRow();
        record.FileName = name;
        record.FullPath = std::string("/d/") + name;
        record.FileSize = "2048";
        record.Value(0) = std::string("Title of ") + name;
        record.Value(16) = "Boss";
    }
    list.SetCheckState(1, engine::kChecked);

    const GridSnapshot snapshot = SnapshotOf(list, DefaultCaptions());
    EXPECT_EQ(snapshot.Captions, DefaultCaptions());
    ASSERT_EQ(snapshot.Rows.size(), 2u);
    for (std::size_t row = 0; row < 2; ++row) {
        ASSERT_EQ(snapshot.Rows[row].size(), 20u);
        for (int column = 0; column < 20; ++column) {
            EXPECT_EQ(snapshot.Rows[row][column], engine::CellText(list.RecordAt(row), column));
        }
    }
    EXPECT_EQ(snapshot.Rows[0][0], "b.pptx");
    EXPECT_EQ(snapshot.Rows[1][3], "Title of a.pptx");
    EXPECT_EQ(snapshot.Rows[1][19], "Boss");
}

// A table must name its packages so that it can be imported from any folder.
TEST(SnapshotOfTest, FullPathsAreAbsoluteAndNormal)
{
    engine::VectorDocumentList list;
    list.AppendRow().FullPath = "./decks/../a.pptx";
    list.AppendRow().FullPath = "/d/./b.pptx";
    const std::string expected = (std::filesystem::current_path() / "a.pptx").string();
    EXPECT_EQ(SnapshotOf(list, DefaultCaptions()).Rows[0][1], expected);
    EXPECT_EQ(CsvSnapshotOf(list).Rows[0][1], expected);
    EXPECT_EQ(FieldsOf(list.RecordAt(1)).FullPath, "/d/b.pptx");
}

} // namespace
} // namespace exporting
