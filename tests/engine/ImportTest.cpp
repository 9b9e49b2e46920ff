#include "engine/FillPattern.h"
#include "engine/ImportPlan.h"
#include "engine/ImportTable.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace engine {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using testsupport::PackageBuilder;
using testsupport::TempDir;

constexpr std::size_t kTitle = 0;
constexpr std::size_t kRevision = 6;
constexpr std::size_t kCreated = 8;
constexpr std::size_t kCompany = 15;

TEST(CsvTable, ReadsQuotesLineBreaksSeparatorsAndMarks)
{
    EXPECT_EQ(ReadCsvTable("a,b\r\n\"x, \"\"y\"\"\",\"two\nlines\"\r\n", "t.csv").Rows,
              (Rows{{"a", "b"}, {"x, \"y\"", "two\nlines"}}));
    const ImportTable semicolons = ReadCsvTable("\xEF\xBB\xBF"
                                                "a;b,c;d\n1;2,3;\n\n4;\"5;6\"",
                                                "t.csv");
    EXPECT_EQ(semicolons.Rows, (Rows{{"a", "b,c", "d"}, {"1", "2,3", ""}, {""}, {"4", "5;6"}}));
    EXPECT_EQ(semicolons.RowNumbers, (std::vector<std::size_t>{1, 2, 3, 4}));
    // Rows are numbered by the line they start on, across quoted line breaks.
    EXPECT_EQ(ReadCsvTable("h\n\"a\nb\"\nc\n", "t.csv").RowNumbers, (std::vector<std::size_t>{1, 2, 4}));
}

TEST(CsvTable, RefusesBrokenTextWithItsPlace)
{
    for (const auto& [text, where] : std::vector<std::pair<std::string, std::string>>{
             {"a\n\"open", "t.csv:2: a quoted field is not closed"},
             {"a\n\"x\"y", "t.csv:2: text after a closing quote"},
             {"a\nb\"c", "t.csv:2: a quote inside an unquoted field"},
             {"a\ncaf\xE9", "t.csv: not UTF-8 text"},
             {std::string(20000, ','), "more than 16384 columns"}}) {
        try {
            (void)ReadCsvTable(text, "t.csv");
            ADD_FAILURE() << text;
        } catch (const EImportError& e) {
            EXPECT_NE(std::string(e.what()).find(where), std::string::npos) << e.what();
        }
    }
}

// Workbooks in the shapes spreadsheet programs write: shared strings with runs, inline strings,
// numbers, a date in a built-in and in a custom format, sparse cells and rows, a title row.
PackageBuilder Workbook(const std::string& sheetData,
                        const std::string& sharedStrings,
                        bool date1904 = false,
                        const std::string& sharedStringsPart = {})
{
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    PackageBuilder book;
    book.Add("[Content_Types].xml",
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
    book.Add("_rels/.rels",
             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rId1\" Type=\"" +
                 rel +
                 "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                 "</Relationships>");
    book.Add("xl/workbook.xml",
             "<workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rel + "\"><workbookPr date1904=\"" +
                 (date1904 ? "1" : "0") +
                 "\"/><sheets><sheet name=\"Grid\" sheetId=\"1\" "
                 "r:id=\"rId7\"/><sheet name=\"Other\" sheetId=\"2\" r:id=\"rId8\"/></sheets></workbook>");
    book.Add("xl/_rels/workbook.xml.rels",
             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rId8\" Type=\"" +
                 rel +
                 "/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
                 "<Relationship Id=\"rId7\" Type=\"" +
                 rel +
                 "/worksheet\" Target=\"/xl/worksheets/sheet1.xml\"/>"
                 "<Relationship Id=\"rId2\" Type=\"" +
                 rel +
                 "/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                 "<Relationship Id=\"rId3\" Type=\"" +
                 rel + "/styles\" Target=\"styles.xml\"/></Relationships>");
    book.Add(
        "xl/styles.xml",
        "<styleSheet xmlns=\"" + ns +
            "\"><numFmts count=\"1\"><numFmt numFmtId=\"164\" "
            "formatCode=\"YYYY\\-MM\\-DD\\ HH:MM:SS\"/><numFmt numFmtId=\"165\" "
            "formatCode=\"0.00&quot;d&quot;\"/>"
            "</numFmts><cellXfs count=\"4\"><xf numFmtId=\"0\"/><xf numFmtId=\"22\"/><xf numFmtId=\"164\"/>"
            "<xf numFmtId=\"165\"/></cellXfs></styleSheet>");
    book.Add("xl/sharedStrings.xml", sharedStringsPart.empty()
                                         ? "<sst xmlns=\"" + ns + "\">" + sharedStrings + "</sst>"
                                         : sharedStringsPart);
    book.Add("xl/worksheets/sheet1.xml",
             "<worksheet xmlns=\"" + ns + "\"><sheetData>" + sheetData + "</sheetData></worksheet>");
    book.Add("xl/worksheets/sheet2.xml", "<worksheet xmlns=\"" + ns +
                                             "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\">"
                                             "<is><t>wrong sheet</t></is></c></row></sheetData></worksheet>");
    return book;
}

TEST(XlsxTable, ReadsTheFirstWorksheetAsSpreadsheetProgramsWriteIt)
{
    TempDir dir;
    Workbook(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
        "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>1</v></c><c r=\"C3\" "
        "t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c>"
        "<c r=\"D3\"><v>42</v></c><c r=\"E3\" s=\"1\"><v>43831.5</v></c><c r=\"F3\" s=\"2\"><v>60.25</v></c>"
        "<c r=\"G3\" s=\"3\"><v>61</v></c><c r=\"H3\" t=\"b\"><v>1</v></c><c "
        "t=\"str\"><v>formula</v></c></row>",
        "<si><t>Title row</t></si><si><r><t>sha</t></r><r><rPr/><t>red</t></r><rPh><t>x</t></rPh></si>")
        .WriteTo(dir / "book.xlsx");
    const ImportTable table = ReadXlsxTable(dir / "book.xlsx");
    EXPECT_EQ(table.Rows, (Rows{{"Title row"},
                                {"shared", "", "inline", "42", "2020-01-01 12:00:00", "60.25", "61", "TRUE",
                                 "formula"}}));
    EXPECT_EQ(table.RowNumbers, (std::vector<std::size_t>{1, 3}));

    Workbook("<row><c s=\"2\"><v>0.5</v></c><c s=\"2\"><v>59</v></c></row>", "", true)
        .WriteTo(dir / "1904.xlsx");
    EXPECT_EQ(ReadXlsxTable(dir / "1904.xlsx").Rows, (Rows{{"1904-01-01 12:00:00", "1904-02-29 00:00:00"}}));
    Workbook("<row><c s=\"2\"><v>59</v></c><c s=\"2\"><v>61</v></c></row>", "").WriteTo(dir / "1900.xlsx");
    EXPECT_EQ(ReadXlsxTable(dir / "1900.xlsx").Rows, (Rows{{"1900-02-28 00:00:00", "1900-03-01 00:00:00"}}));
}

TEST(XlsxTable, RefusesHostileWorkbooksClearly)
{
    TempDir dir;
    const std::vector<std::pair<PackageBuilder, std::string>> cases = {
        {Workbook("<row><c t=\"s\"><v>7</v></c></row>", ""), "a shared string that does not exist"},
        {Workbook("<row><c r=\"XFE1\"><v>1</v></c></row>", ""), "more than 16384 columns"},
        {Workbook("<row><c><v>1</v></c></row>", "", false,
                  "<!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                  "\"&a;&a;&a;&a;&a;&a;&a;&a;\">]><sst><si><t>&b;</t>"
                  "</si></sst>"),
         "entity declarations are not supported"},
        {Workbook("<row><c><v>1</v></c></row>", "<si><t>caf\xE9</t></si>"), "sharedStrings.xml"},
        {PackageBuilder().Add("x.txt", "not a workbook"), "has no xl/workbook.xml"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto path = dir / ("case" + std::to_string(i) + ".xlsx");
        cases[i].first.WriteTo(path);
        try {
            (void)ReadImportFile(path);
            ADD_FAILURE() << i;
        } catch (const EImportError& e) {
            EXPECT_NE(std::string(e.what()).find(cases[i].second), std::string::npos) << e.what();
        }
    }
    // One large shared string repeated in every cell: the table would be far larger than the file.
    std::string row;
    for (int c = 0; c < 1000; ++c) {
        row += "<c t=\"s\"><v>0</v></c>";
    }
    std::string rows;
    for (int r = 0; r < 70; ++r) {
        rows += "<row>" + row + "</row>";
    }
    Workbook(rows, "<si><t>" + std::string(1000, 'x') + "</t></si>").WriteTo(dir / "bomb.xlsx");
    EXPECT_THROW((void)ReadXlsxTable(dir / "bomb.xlsx"), EImportError);
    // Single cells far to the right on many rows: the rows would be mostly empty slots.
    std::string wide;
    for (int r = 0; r < 600; ++r) {
        wide += "<row><c r=\"XFD1\"><v>1</v></c></row>";
    }
    Workbook(wide, "").WriteTo(dir / "wide.xlsx");
    EXPECT_THROW((void)ReadXlsxTable(dir / "wide.xlsx"), EImportError);
}

ImportTable Table(Rows rows)
{
    ImportTable table;
    table.Source = "sheet.csv";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        table.RowNumbers.push_back(i + 1);
    }
    table.Rows = std::move(rows);
    return table;
}

TEST(ImportPlan, MapsHeadersByNameOrCaptionAndChecksEveryCell)
{
    const ImportSheet sheet = InterpretImportTable(
        Table({{"Velmora export"},
               {"     File Name", " Full Path ", "File Size", "Title", "Revision", "CreatedTime", "Notes",
                "Error"},
               {"a.pptx", "/d/a.pptx", "1", "New", "12", "2020-02-03 04:05:06", "n", "x"},
               {"b.pptx", "/d/b.pptx", "1", "", "12abc", "31/02/2020", "", ""},
               {"", "", "", "orphan", "", "", "", ""}}),
        ImportOptions{});
    EXPECT_TRUE(sheet.KeyIsPath);
    ASSERT_EQ(sheet.Rows.size(), 2U);
    EXPECT_EQ(sheet.Rows[0].Key, "/d/a.pptx");
    ASSERT_EQ(sheet.Rows[0].Values.size(), 3U);
    EXPECT_EQ(sheet.Rows[0].Values[2].Property, kCreated);
    EXPECT_TRUE(sheet.Rows[1].Values.empty()); // empty leaves, invalid cells are not taken
    ASSERT_EQ(sheet.Problems.size(), 2U);
    EXPECT_EQ(sheet.Problems[0].substr(0, 30), "sheet.csv:4: Revision: \"12abc\"");
    EXPECT_EQ(sheet.Problems[1].substr(0, 39), "sheet.csv:4: CreatedTime: \"31/02/2020\" ");
    EXPECT_EQ(sheet.Warnings, (std::vector<std::string>{"sheet.csv: columns not imported: \"Notes\""}));

    const ImportSheet clearing =
        InterpretImportTable(Table({{"FileName", "Title"}, {"a.pptx", ""}}), ImportOptions{true});
    EXPECT_FALSE(clearing.KeyIsPath);
    ASSERT_EQ(clearing.Rows[0].Values.size(), 1U);
    EXPECT_EQ(clearing.Rows[0].Values[0].Text, "");
    EXPECT_THROW((void)InterpretImportTable(Table({{"Title"}, {"x"}}), ImportOptions{}), EImportError);
}

TEST(ImportPlan, MatchesByPathOrUniqueNameAndAppliesOnlyDifferences)
{
    DocumentRecord a;
    a.FullPath = "decks/a.pptx";
    a.FileName = "a.pptx";
    a.Value(kTitle) = "Same";
    DocumentRecord b;
    b.FullPath = "/elsewhere/b.pptx";
    b.FileName = "b.pptx";
    const std::vector<const DocumentRecord*> records{&a, &b};

    const ImportSheet byPath = InterpretImportTable(Table({{"FullPath", "Title", "Company"},
                                                           {"/work/decks/./a.pptx", "Same", "New Co"},
                                                           {"c.pptx", "x", ""}}),
                                                    ImportOptions{});
    const ImportMatch match = MatchImportRows(byPath, records, "/work");
    ASSERT_EQ(match.Pairs.size(), 1U);
    EXPECT_EQ(match.Pairs[0], (std::pair<std::size_t, std::size_t>{0, 0}));
    EXPECT_EQ(match.Unmatched, (std::vector<std::string>{"sheet.csv:3: no package c.pptx"}));
    const auto changes = ApplyImportRow(byPath.Rows[0], a);
    ASSERT_EQ(changes.size(), 1U); // the equal title is neither changed nor flagged
    EXPECT_EQ(changes[0].Property, kCompany);
    EXPECT_FALSE(a.Changed(kTitle));
    EXPECT_TRUE(a.Changed(kCompany));
    EXPECT_TRUE(a.Modified);

    const ImportSheet byName =
        InterpretImportTable(Table({{"FileName", "Title"}, {"b.pptx", "B"}}), ImportOptions{});
    EXPECT_EQ(MatchImportRows(byName, records, "/work").Pairs.size(), 1U);
    DocumentRecord twin = b;
    twin.FullPath = "/other/b.pptx";
    EXPECT_THROW((void)MatchImportRows(byName, {&a, &b, &twin}, "/work"), EImportError);
}

TEST(FillPattern, EvaluatesTokensGroupsAndEscapes)
{
    DocumentRecord record;
    record.FullPath = "/decks/Q3/Q3 - Sales.pptx";
    record.FileName = "Q3 - Sales.pptx";
    record.Value(kTitle) = "Old";
    const std::regex expression(R"((\w+) - (\w+)\.pptx)");
    std::smatch groups;
    ASSERT_TRUE(std::regex_match(record.FileName, groups, expression));
    EXPECT_EQ(FillPattern("{stem}|{name}|{folder}|{path}|{Title}|{2}-{1}|{{x}}|{now}")
                  .Evaluate(record, &groups, "2024-01-02 03:04:05"),
              "Q3 - Sales|Q3 - Sales.pptx|Q3|/decks/Q3/Q3 - Sales.pptx|Old|Sales-Q3|{x}|2024-01-02 03:04:05");
    EXPECT_TRUE(FillPattern("{9}").UsesGroups());
    EXPECT_EQ(FillPattern("{9}").Evaluate(record, &groups, ""), "");
    for (const char* bad : {"{title}", "{nope}", "{10}", "a{b", "a}b", "{}"}) {
        EXPECT_THROW(FillPattern{bad}, EBadPattern) << bad;
    }
}

} // namespace
} // namespace engine
