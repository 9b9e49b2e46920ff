#include "export/DateForm.h"

#include "../engine/ScopedTimeZone.h"
#include "engine/record/DocumentList.h"
#include "export/BuildCsv.h"
#include "export/DefaultCaptions.h"
#include "export/ExportSnapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

// The snapshots every export writes dates in: CSV with the offset, --utc as instants, and never a
// change to the rows they are taken from (the window's own rows).
namespace exporting {
namespace {

class DateFormTest : public testing::Test
{
protected:
    void SetUp() override
    {
        engine::DocumentRecord& record = m_rows.AppendRow();
        record.FileName = "a.pptx";
        record.FullPath = "/decks/a.pptx";
        record.Value(8) = "2024-05-06 07:08:09";  // CreatedTime
        record.Value(9) = "2024-10-27T01:30:00Z"; // ModifiedTime, in the repeated hour
        record.Value(7) = "someday";              // LastPrinted as stored, no date
        record.Value(0) = "2024-01-02 10:00:00";  // a title
        record.Custom.Items = {{"Due", "vt:filetime", "2024-01-02 10:00:00", false},
                               {"Note", "vt:lpwstr", "2024-01-02 10:00:00", false}};
        m_core = record.CoreValues;
        m_custom = record.Custom;
    }

    [[nodiscard]] static bool Holds(const GridSnapshot& grid, const std::string& text)
    {
        return std::find(grid.Rows[0].begin(), grid.Rows[0].end(), text) != grid.Rows[0].end();
    }

    engine::ScopedTimeZone m_zone{"Europe/Berlin"};
    engine::VectorDocumentList m_rows;
    std::array<std::string, engine::kCoreCount> m_core;
    engine::CustomProperties m_custom;

    void ExpectRowsUnchanged() const
    {
        EXPECT_EQ(m_rows.RecordAt(0).CoreValues, m_core);
        EXPECT_EQ(m_rows.RecordAt(0).Custom, m_custom);
    }
};

TEST_F(DateFormTest, CsvWritesOffsetsOrInstantsOnlyForDates)
{
    const GridSnapshot csv = CsvSnapshotOf(m_rows, {"Due", "Note"});
    const std::vector<std::string>& row = csv.Rows[0];
    EXPECT_EQ(row[3], "2024-01-02 10:00:00");
    EXPECT_EQ(row[3 + 7], "someday");
    EXPECT_EQ(row[3 + 8], "2024-05-06T07:08:09+02:00");
    EXPECT_EQ(row[3 + 9], "2024-10-27T02:30:00+01:00");
    EXPECT_EQ(row[row.size() - 2], "2024-01-02T10:00:00+01:00");
    EXPECT_EQ(row.back(), "2024-01-02 10:00:00");

    const GridSnapshot utc = CsvSnapshotOf(m_rows, {"Due", "Note"}, DateForm::Utc);
    EXPECT_EQ(utc.Rows[0][3 + 8], "2024-05-06T05:08:09Z");
    EXPECT_EQ(utc.Rows[0][3 + 9], "2024-10-27T01:30:00Z");
    EXPECT_EQ(utc.Rows[0][utc.Rows[0].size() - 2], "2024-01-02T09:00:00Z");
    EXPECT_EQ(utc.Rows[0].back(), "2024-01-02 10:00:00");
    ExpectRowsUnchanged();
}

TEST_F(DateFormTest, UtcExportsLeaveTheRowsAsTheyAre)
{
    for (const ExportFormat format : {ExportFormat::Html, ExportFormat::Text, ExportFormat::Xml,
                                      ExportFormat::Spreadsheet, ExportFormat::Csv}) {
        const GridSnapshot local = ExportSnapshot(format, m_rows, DefaultCaptions(), true);
        const GridSnapshot utc = ExportSnapshot(format, m_rows, DefaultCaptions(), true, {}, true);
        EXPECT_TRUE(Holds(utc, "2024-05-06T05:08:09Z"));
        EXPECT_TRUE(Holds(utc, "2024-10-27T01:30:00Z"));
        EXPECT_TRUE(Holds(utc, "2024-01-02T09:00:00Z")); // the custom date
        EXPECT_TRUE(Holds(utc, "2024-01-02 10:00:00"));  // the title and the custom text
        EXPECT_TRUE(Holds(utc, "someday"));
        EXPECT_EQ(local.Rows[0].size(), utc.Rows[0].size());
        if (format != ExportFormat::Csv) {
            EXPECT_TRUE(Holds(local, "2024-05-06 07:08:09"));
            EXPECT_EQ(local.Captions, utc.Captions);
        }
        ExpectRowsUnchanged();
    }
}

} // namespace
} // namespace exporting
