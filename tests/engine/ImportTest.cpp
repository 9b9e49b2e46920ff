#include "engine/tables/FillPattern.h"
#include "engine/tables/ImportPlan.h"
#include "engine/tables/ImportTable.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "support/Workbooks.h"

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

TEST(XlsxTable, ReadsTheFirstWorksheetAsSpreadsheetProgramsWriteIt)
{
    TempDir dir;
    testsupport::Workbook(
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

    testsupport::Workbook("<row><c s=\"2\"><v>0.5</v></c><c s=\"2\"><v>59</v></c></row>", "", true)
        .WriteTo(dir / "1904.xlsx");
    EXPECT_EQ(ReadXlsxTable(dir / "1904.xlsx").Rows, (Rows{{"1904-01-01 12:00:00", "1904-02-29 00:00:00"}}));
    testsupport::Workbook("<row><c s=\"2\"><v>59</v></c><c s=\"2\"><v>61</v></c></row>", "")
        .WriteTo(dir / "1900.xlsx");
    EXPECT_EQ(ReadXlsxTable(dir / "1900.xlsx").Rows, (Rows{{"1900-02-28 00:00:00", "1900-03-01 00:00:00"}}));
}

// Every hostile workbook is refused with its own reason, in bounded time and memory (the latter
// checked in the reliability suite, which runs them in child processes).
TEST(XlsxTable, RefusesHostileWorkbooksClearly)
{
    TempDir dir;
    for (const testsupport::HostileWorkbook& workbook : testsupport::HostileWorkbooks()) {
        const auto path = dir / (workbook.name + ".xlsx");
        testsupport::WriteFileBytes(path, workbook.build());
        try {
            (void)ReadImportFile(path);
            ADD_FAILURE() << workbook.name;
        } catch (const EImportError& e) {
            EXPECT_NE(std::string(e.what()).find(workbook.reason), std::string::npos) << e.what();
        }
    }
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
                "Error", "Statistic:Notes"},
               {"a.pptx", "/d/a.pptx", "1", "New", "12", "2020-02-03 04:05:06", "n", "x", "3"},
               {"b.pptx", "/d/b.pptx", "1", "", "12abc", "31/02/2020", "", "", ""},
               {"", "", "", "orphan", "", "", "", "", ""}}),
        ImportOptions{false, true});
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

// What makes a table unreadable as it stands, and what does not.
TEST(ImportPlan, RefusesTablesItCannotReadAsTheyStand)
{
    // Columns of one meaning under other captions (the command tests cover the other refusals).
    for (const Rows& rows : {Rows{{"FullPath", "Full Path"}, {"a.pptx", "b.pptx"}},
                             Rows{{"FullPath", "Custom:Client", "Custom:CLIENT"}, {"a.pptx", "x", "y"}}}) {
        EXPECT_THROW((void)InterpretImportTable(Table(rows), ImportOptions{}), EImportError) << rows[0][1];
    }
    // Short rows are fine while empty cells leave values, and a worksheet row ends at its last cell.
    EXPECT_EQ(
        InterpretImportTable(Table({{"FullPath", "Title", "Company"}, {"b.pptx", "x"}}), ImportOptions{})
            .Rows.size(),
        1U);
    ImportTable sheet = Table({{"FullPath", "Title", "Company"}, {"b.pptx", "x"}, {"c.pptx", "", "", ""}});
    sheet.ExactWidths = false;
    EXPECT_EQ(InterpretImportTable(sheet, ImportOptions{true, false}).Rows.size(), 2U);
    // Custom columns are told apart from the built-in ones, and an uncaptioned empty column is no column.
    const ImportSheet custom = InterpretImportTable(
        Table({{"FullPath", "Category", "Custom:Category", ""}, {"a.pptx", "core", "mine", ""}}),
        ImportOptions{});
    ASSERT_EQ(custom.Rows[0].Values.size(), 1U);
    EXPECT_EQ(custom.Rows[0].Values[0].Text, "core");
    ASSERT_EQ(custom.Rows[0].Custom.size(), 1U);
    EXPECT_EQ(custom.Rows[0].Custom[0].Name, "Category");
    EXPECT_EQ(custom.Rows[0].Custom[0].Text, "mine");
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
                                                           {"/base/decks/./a.pptx", "Same", "New Co"},
                                                           {"c.pptx", "x", ""}}),
                                                    ImportOptions{});
    const ImportMatch match = MatchImportRows(byPath, records, "/base");
    ASSERT_EQ(match.Pairs.size(), 1U);
    EXPECT_EQ(match.Pairs[0], (std::pair<std::size_t, std::size_t>{0, 0}));
    EXPECT_EQ(match.Missing, (std::vector<std::string>{"sheet.csv:3: no package at c.pptx: no such file"}));
    std::vector<std::string> problems;
    const auto changes = ApplyImportRow(byPath, byPath.Rows[0], a, problems);
    ASSERT_EQ(changes.size(), 1U); // the equal title is neither changed nor flagged
    EXPECT_EQ(changes[0].Property, kCompany);
    EXPECT_FALSE(a.Changed(kTitle));
    EXPECT_TRUE(a.Changed(kCompany));
    EXPECT_TRUE(a.Modified);

    const ImportSheet byName =
        InterpretImportTable(Table({{"FileName", "Title"}, {"b.pptx", "B"}}), ImportOptions{});
    EXPECT_EQ(MatchImportRows(byName, records, "/base").Pairs.size(), 1U);
    DocumentRecord twin = b;
    twin.FullPath = "/other/b.pptx";
    EXPECT_THROW((void)MatchImportRows(byName, {&a, &b, &twin}, "/base"), EImportError);
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

// A group the expression lacks would fill every package with an empty text, so it is refused by
// number before any package is read.
TEST(FillPattern, RefusesAGroupTheExpressionLacks)
{
    struct Case
    {
        const char* pattern;
        std::size_t groups;
        const char* refused; // the group named, or null when the pattern fits
    };

    for (const Case& c : {Case{"{1}{2}", 2, nullptr}, Case{"{3}", 2, "{3}"}, Case{"a{1}b{4}{2}", 3, "{4}"},
                          Case{"{1}", 0, "{1}"}, Case{"{stem}", 0, nullptr}, Case{"{{3}}", 0, nullptr}}) {
        SCOPED_TRACE(c.pattern);
        const FillPattern pattern(c.pattern);
        if (c.refused == nullptr) {
            EXPECT_NO_THROW(pattern.RequireGroups(c.groups));
            continue;
        }
        try {
            pattern.RequireGroups(c.groups);
            ADD_FAILURE() << "accepted";
        } catch (const EBadPattern& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("uses ") + c.refused), std::string::npos)
                << e.what();
        }
    }
}

} // namespace
} // namespace engine
