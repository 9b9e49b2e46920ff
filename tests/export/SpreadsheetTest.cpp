#include "engine/tables/ImportTable.h"
#include "export/DefaultCaptions.h"
#include "export/ExportError.h"
#include "export/ExportTitle.h"
#include "export/SpreadsheetFit.h"
#include "export/WriteSpreadsheet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <map>

namespace exporting {
namespace {

// What a workbook holds, read back from its parts: cell texts and formats by cell name.
struct CellFormat
{
    bool bold = false;
    std::string horizontal;
    std::string vertical;
    bool wrap = false;
    bool thinBorders = false;
};

struct Cell
{
    std::string text;
    CellFormat format;
};

class WorkbookReadBack
{
public:
    explicit WorkbookReadBack(const std::filesystem::path& file)
    {
        Load(file, "xl/worksheets/sheet1.xml", m_sheet);
        Load(file, "xl/styles.xml", m_styles);
        pugi::xml_document strings;
        if (Exists(file, "xl/sharedStrings.xml")) {
            Load(file, "xl/sharedStrings.xml", strings);
        }
        std::vector<std::string> shared;
        for (pugi::xml_node si : strings.child("sst").children("si")) {
            shared.emplace_back(si.child("t").text().get());
        }
        m_sharedCount = shared.size();
        for (pugi::xml_node row : m_sheet.child("worksheet").child("sheetData").children("row")) {
            for (pugi::xml_node c : row.children("c")) {
                Cell cell;
                if (std::string_view(c.attribute("t").value()) == "inlineStr") {
                    cell.text = c.child("is").child("t").text().get();
                } else if (pugi::xml_node v = c.child("v")) {
                    cell.text = shared.at(v.text().as_uint());
                }
                cell.format = FormatOf(c.attribute("s").as_uint());
                m_cells[c.attribute("r").value()] = cell;
            }
        }
    }

    [[nodiscard]] const std::map<std::string, Cell>& Cells() const { return m_cells; }

    [[nodiscard]] std::size_t SharedStringCount() const { return m_sharedCount; }

    [[nodiscard]] std::vector<std::string> Merges() const
    {
        std::vector<std::string> refs;
        for (pugi::xml_node m : m_sheet.child("worksheet").child("mergeCells").children("mergeCell")) {
            refs.emplace_back(m.attribute("ref").value());
        }
        return refs;
    }

    [[nodiscard]] double ColumnWidth(int column) const
    {
        for (pugi::xml_node col : m_sheet.child("worksheet").child("cols").children("col")) {
            if (col.attribute("min").as_int() <= column && column <= col.attribute("max").as_int()) {
                return col.attribute("width").as_double();
            }
        }
        return 0;
    }

    [[nodiscard]] double RowHeight(int row) const
    {
        for (pugi::xml_node r : m_sheet.child("worksheet").child("sheetData").children("row")) {
            if (r.attribute("r").as_int() == row) {
                return r.attribute("ht").as_double(kLineHeight);
            }
        }
        return 0;
    }

private:
    static bool Exists(const std::filesystem::path& file, const std::string& part)
    {
        int code = 0;
        testsupport::RunCommand("unzip -l '" + file.string() + "' '" + part + "' >/dev/null 2>&1", &code);
        return code == 0;
    }

    static void Load(const std::filesystem::path& file, const std::string& part, pugi::xml_document& doc)
    {
        const std::string xml = testsupport::RunCommand("unzip -p '" + file.string() + "' '" + part + "'");
        const pugi::xml_parse_result result = doc.load_string(xml.c_str());
        ASSERT_TRUE(result) << part << ": " << result.description();
    }

    CellFormat FormatOf(unsigned xfIndex) const
    {
        pugi::xml_node styleSheet = m_styles.child("styleSheet");
        pugi::xml_node xf = Nth(styleSheet.child("cellXfs"), "xf", xfIndex);
        CellFormat format;
        format.bold = Nth(styleSheet.child("fonts"), "font", xf.attribute("fontId").as_uint()).child("b");
        format.horizontal = xf.child("alignment").attribute("horizontal").value();
        format.vertical = xf.child("alignment").attribute("vertical").value();
        format.wrap = xf.child("alignment").attribute("wrapText").as_bool();
        pugi::xml_node border =
            Nth(styleSheet.child("borders"), "border", xf.attribute("borderId").as_uint());
        format.thinBorders = true;
        for (const char* edge : {"left", "right", "top", "bottom"}) {
            format.thinBorders =
                format.thinBorders && std::string(border.child(edge).attribute("style").value()) == "thin";
        }
        return format;
    }

    static pugi::xml_node Nth(pugi::xml_node parent, const char* name, unsigned index)
    {
        for (pugi::xml_node node : parent.children(name)) {
            if (index-- == 0) {
                return node;
            }
        }
        return {};
    }

    pugi::xml_document m_sheet;
    pugi::xml_document m_styles;
    std::map<std::string, Cell> m_cells;
    std::size_t m_sharedCount = 0;
};

GridSnapshot ThreeDocuments()
{
    GridSnapshot grid{DefaultCaptions(), {}};
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> row;
        for (std::size_t column = 0; column < grid.Captions.size(); ++column) {
            row.push_back("r" + std::to_string(i) + "c" + std::to_string(column));
        }
        grid.Rows.push_back(row);
    }
    grid.Rows[1][3] = "first line\nsecond line";
    grid.Rows[2][4] = "";
    grid.Rows[2][5] = "caf\xc3\xa9 \x01\xff";
    return grid;
}

TEST(WriteSpreadsheetTest, LaysOutTitleCaptionsAndDocuments)
{
    testsupport::TempDir dir;
    const GridSnapshot grid = ThreeDocuments();
    WriteSpreadsheet(grid, "budget", dir / "budget.2024.xlsx");
    const WorkbookReadBack book(dir / "budget.2024.xlsx");

    EXPECT_EQ(book.Merges(), std::vector<std::string>{"A1:T1"});
    const Cell& title = book.Cells().at("A1");
    EXPECT_EQ(title.text, "budget");
    EXPECT_TRUE(title.format.bold);
    EXPECT_EQ(title.format.horizontal, "center");
    EXPECT_EQ(title.format.vertical, "center");

    for (int row = 2; row <= 5; ++row) {
        for (int column = 1; column <= 20; ++column) {
            const std::string name = ColumnLetters(column) + std::to_string(row);
            ASSERT_TRUE(book.Cells().count(name)) << name;
            const Cell& cell = book.Cells().at(name);
            EXPECT_TRUE(cell.format.thinBorders) << name;
            EXPECT_FALSE(cell.format.bold) << name;
            const std::string& expected =
                row == 2 ? grid.Captions[column - 1] : grid.Rows[row - 3][column - 1];
            if (name != "F5") {
                EXPECT_EQ(cell.text, expected) << name;
            }
        }
    }
    // Nothing beyond column T or row 5.
    for (const auto& [name, cell] : book.Cells()) {
        const std::size_t digits = name.find_first_of("0123456789");
        EXPECT_TRUE(digits == 1 && name[0] <= 'T' && std::stoi(name.substr(digits)) <= 5) << name;
    }
    EXPECT_EQ(book.Cells().at("E5").text, "");
    EXPECT_EQ(book.Cells().at("F5").text.substr(0, 5), "caf\xc3\xa9");

    EXPECT_TRUE(book.Cells().at("D4").format.wrap);
    EXPECT_FALSE(book.Cells().at("D3").format.wrap);
    EXPECT_DOUBLE_EQ(book.RowHeight(4), 2 * kLineHeight);
    EXPECT_DOUBLE_EQ(book.RowHeight(3), kLineHeight);
    // "     File Name" is the widest text of column A; "TotalEditTime(second)" of column R.
    EXPECT_NEAR(book.ColumnWidth(1), 15.0, 1.0);
    EXPECT_NEAR(book.ColumnWidth(18), 22.0, 1.0);
    EXPECT_NEAR(book.ColumnWidth(4), 12.0, 1.0); // "second line" and "first line": the longer line
}

TEST(WriteSpreadsheetTest, EmptyGridHasTitleAndCaptionRowsOnly)
{
    testsupport::TempDir dir;
    WriteSpreadsheet({DefaultCaptions(), {}}, "empty", dir / "e.xlsx");
    const WorkbookReadBack book(dir / "e.xlsx");
    EXPECT_EQ(book.Merges(), std::vector<std::string>{"A1:T1"});
    EXPECT_EQ(book.Cells().at("T2").text, "Manager");
    EXPECT_TRUE(book.Cells().at("T2").format.thinBorders);
    EXPECT_EQ(book.Cells().count("A3"), 0u);
}

TEST(WriteSpreadsheetTest, OneColumnIsNotMerged)
{
    testsupport::TempDir dir;
    WriteSpreadsheet({{"Only"}, {{"x"}}}, "t", dir / "one.xlsx");
    const WorkbookReadBack book(dir / "one.xlsx");
    EXPECT_TRUE(book.Merges().empty());
    EXPECT_TRUE(book.Cells().at("A1").format.bold);
    EXPECT_EQ(book.Cells().at("A3").text, "x");
}

TEST(WriteSpreadsheetTest, RowLimitIsCheckedBeforeAnythingIsWritten)
{
    // 1,048,576 sheet rows less the title and caption rows.
    EXPECT_TRUE(FitsSpreadsheet(65535));
    EXPECT_TRUE(FitsSpreadsheet(1048574));
    EXPECT_FALSE(FitsSpreadsheet(1048575));
    testsupport::TempDir dir;
    // Rows without cells: the limit counts rows, and a million of them cost little to hold.
    const GridSnapshot tooMany{{"A"}, std::vector<std::vector<std::string>>(1048575)};
    try {
        WriteSpreadsheet(tooMany, "t", dir / "big.xlsx");
        FAIL() << "no error";
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "The row count is out of excel range.");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "big.xlsx"));
}

// More rows than the old sheet format held: written row by row with inline texts, and read back
// by the import exactly as they went in.
TEST(WriteSpreadsheetTest, RowsPastTheOldSheetLimitAreWrittenAndReadBack)
{
    testsupport::TempDir dir;
    GridSnapshot grid{{"     File Name", "Title", "Notes"}, {}};
    const std::vector<std::string> texts = {"",
                                            " leading and trailing ",
                                            "   ",
                                            "first line\nsecond line",
                                            "<&>\"' ]]>",
                                            "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
                                            "_x0041_",
                                            "12",
                                            "2020-02-03 04:05:06"};
    for (std::size_t row = 0; row < 70000; ++row) {
        grid.Rows.push_back({"deck" + std::to_string(row) + ".pptx", texts[row % texts.size()],
                             texts[(row / texts.size()) % texts.size()]});
    }
    const auto file = dir / "big.xlsx";
    WriteSpreadsheet(grid, "big", file);

    const engine::ImportTable table = engine::ReadXlsxTable(file);
    ASSERT_EQ(table.Rows.size(), grid.Rows.size() + 2);
    EXPECT_EQ(table.Rows[0].at(0), "big");
    EXPECT_EQ(table.Rows[1], grid.Captions);
    for (std::size_t row = 0; row < grid.Rows.size(); ++row) {
        std::vector<std::string> read = table.Rows[row + 2];
        read.resize(grid.Captions.size()); // a sheet row ends at its last cell with a text
        ASSERT_EQ(read, grid.Rows[row]) << "row " << row + 3;
        ASSERT_EQ(table.RowNumbers[row + 2], row + 3);
    }
    // Written in constant-memory mode: every text inline, no shared string table held in memory.
    EXPECT_EQ(testsupport::RunCommand("unzip -l '" + file.string() + "' xl/sharedStrings.xml >/dev/null 2>&1 "
                                      "|| echo absent"),
              "absent\n");
}

// The look of a workbook written row by row is that of the small ones: merged bold title, bordered
// block, wrapped multi-line cells in taller rows, fitted widths, down to the last row.
TEST(WriteSpreadsheetTest, LastRowOfALargeSheetKeepsItsLook)
{
    testsupport::TempDir dir;
    GridSnapshot grid{{"Name", "Notes"}, std::vector<std::vector<std::string>>(65600, {"a", "b"})};
    grid.Rows.back() = {"last", "one\ntwo\nthree"};
    WriteSpreadsheet(grid, "t", dir / "look.xlsx");
    const WorkbookReadBack book(dir / "look.xlsx");
    EXPECT_EQ(book.SharedStringCount(), 0u);
    EXPECT_EQ(book.Merges(), std::vector<std::string>{"A1:B1"});
    EXPECT_TRUE(book.Cells().at("A1").format.bold);
    const Cell& last = book.Cells().at("B65602");
    EXPECT_EQ(last.text, "one\ntwo\nthree");
    EXPECT_TRUE(last.format.wrap);
    EXPECT_TRUE(last.format.thinBorders);
    EXPECT_DOUBLE_EQ(book.RowHeight(65602), 3 * kLineHeight);
    EXPECT_DOUBLE_EQ(book.RowHeight(65601), kLineHeight);
    EXPECT_NEAR(book.ColumnWidth(2), 6.0, 1.0); // "three", the longest line, fitted before any row went out
    EXPECT_EQ(book.Cells().count("A65603"), 0u);
}

TEST(WriteSpreadsheetTest, FailureNamesTheReason)
{
    testsupport::TempDir dir;
    try {
        WriteSpreadsheet({{"A"}, {{std::string(40000, 'x')}}}, "t", dir / "long.xlsx");
        FAIL() << "no error";
    } catch (const EExportError& e) {
        EXPECT_EQ(std::string(e.what()), "The text of cell A3 is longer than 32767 characters.");
    }
    try {
        WriteSpreadsheet({{"A"}, {}}, "t", dir / "missing" / "x.xlsx");
        FAIL() << "no error";
    } catch (const EExportError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
}

struct FitCase
{
    std::string text;
    std::size_t lines;
    std::size_t longest;
    std::size_t wrappedAt11;
};

class SpreadsheetFitTest : public testing::TestWithParam<FitCase>
{
};

TEST_P(SpreadsheetFitTest, MeasuresLinesInCodePoints)
{
    EXPECT_EQ(WrappedLineCount(GetParam().text, 1000.0), GetParam().lines); // too wide to wrap
    EXPECT_EQ(LongestLine(GetParam().text), GetParam().longest);
    EXPECT_EQ(WrappedLineCount(GetParam().text, 11.0), GetParam().wrappedAt11);
}

INSTANTIATE_TEST_SUITE_P(Texts,
                         SpreadsheetFitTest,
                         testing::Values(FitCase{"", 1, 0, 1},
                                         FitCase{"abc", 1, 3, 1},
                                         FitCase{"\xc3\xa9\xc3\xa9\xe2\x82\xac", 1, 3, 1},
                                         FitCase{"a\r\nbb\rccc\n", 4, 3, 4},
                                         FitCase{std::string(25, 'x'), 1, 25, 3}));

TEST(SpreadsheetFitTest, WidthsStayWithinTheirCaps)
{
    const GridSnapshot grid{{"A", "B"}, {{"", std::string(500, 'y')}}};
    EXPECT_DOUBLE_EQ(FittedColumnWidth(grid, 0), kMinColumnWidth);
    EXPECT_DOUBLE_EQ(FittedColumnWidth(grid, 1), kMaxColumnWidth);
    EXPECT_TRUE(NeedsWrap(grid.Rows[0][1], kMaxColumnWidth));
    EXPECT_DOUBLE_EQ(FittedRowHeight({std::string(5000, 'z')}, {kMaxColumnWidth}), kMaxRowHeight);
}

} // namespace
} // namespace exporting
