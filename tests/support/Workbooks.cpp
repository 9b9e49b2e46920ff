#include "support/Workbooks.h"

#include "support/TempDir.h"

namespace testsupport {

PackageBuilder Workbook(const std::string& sheetData,
                        const std::string& sharedStrings,
                        bool date1904,
                        const std::string& sharedStringsPart)
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

namespace {} // namespace

std::vector<HostileWorkbook> HostileWorkbooks()
{
    const auto sheet = [](std::string data, std::string strings = {}) {
        return [data = std::move(data), strings = std::move(strings)] {
            return Workbook(data, strings).Build();
        };
    };
    return {
        {"missing_shared_string", sheet("<row><c t=\"s\"><v>7</v></c></row>"),
         "a shared string that does not exist"},
        {"column_past_the_last", sheet("<row><c r=\"XFE1\"><v>1</v></c></row>"), "more than 16384 columns"},
        {"too_many_columns", sheet("<row>" + Repeat("<c><v>1</v></c>", 17000) + "</row>"),
         "more than 16384 columns"},
        {"billion_laughs_shared_strings",
         [] {
             return Workbook("<row><c><v>1</v></c></row>", "", false,
                             "<!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                             "\"&a;&a;&a;&a;&a;&a;&a;&a;\">]><sst><si>"
                             "<t>&b;</t></si></sst>")
                 .Build();
         },
         "entity declarations are not supported"},
        {"invalid_utf8", sheet("<row><c><v>1</v></c></row>", "<si><t>caf\xE9</t></si>"), "sharedStrings.xml"},
        {"repeated_large_string",
         sheet(Repeat("<row>" + Repeat("<c t=\"s\"><v>0</v></c>", 1000) + "</row>", 300),
               "<si><t>" + std::string(1000, 'x') + "</t></si>"),
         "more than an import reads"},
        {"wide_sparse_rows", sheet(Repeat("<row><c r=\"XFD1\"><v>1</v></c></row>", 600)),
         "more than an import reads"},
        {"cell_of_two_megabytes",
         sheet("<row><c t=\"inlineStr\"><is><t>" + std::string(2U << 20, 'x') + "</t></is></c></row>"),
         "a cell longer than"},
        // A worksheet that inflates past the part limit.
        {"zip_bomb_sheet", [] { return Workbook(std::string(260U << 20, ' '), "").Build(); }, "sheet1.xml"},
        {"row_past_the_last", sheet("<row r=\"1048577\"><c><v>1</v></c></row>"), "more than 1048576 rows"},
        {"not_a_workbook", [] { return PackageBuilder().Add("x.txt", "not a workbook").Build(); },
         "has no xl/workbook.xml"},
    };
}

} // namespace testsupport
