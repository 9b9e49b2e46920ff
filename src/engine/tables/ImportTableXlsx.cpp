#include "archive/TArchiveReader.h"
#include "engine/parts/PartLocator.h"
#include "engine/record/DateConvert.h"
#include "engine/tables/ImportTable.h"
#include "xml/TXMLDocument.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <unordered_map>

namespace engine {
namespace {

using xml::TXMLDocument;
using xml::TXMLNode;

constexpr std::string_view kOfficeDocumentType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
constexpr std::string_view kStrictOfficeDocumentType =
    "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument";

bool IsElement(TXMLNode node, std::string_view localName)
{
    return node.type() == pugi::node_element && TXMLDocument::LocalName(node) == localName;
}

TXMLNode Child(TXMLNode node, std::string_view localName)
{
    for (TXMLNode child : node.children()) {
        if (IsElement(child, localName)) {
            return child;
        }
    }
    return {};
}

// An attribute by local name, whatever prefix it carries ("r:id").
std::string AttributeValue(TXMLNode element, std::string_view localName)
{
    for (auto attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute()) {
        std::string_view name = attribute.name();
        if (const auto colon = name.find(':'); colon != std::string_view::npos) {
            name.remove_prefix(colon + 1);
        }
        if (name == localName) {
            return attribute.value();
        }
    }
    return {};
}

std::string FolderOf(std::string_view partName)
{
    const auto slash = partName.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(partName.substr(0, slash + 1));
}

// Text of a shared or inline string: its t element, or the t elements of its runs (phonetic runs
// left out).
std::string StringItemText(TXMLNode item)
{
    std::string text;
    for (TXMLNode child : item.children()) {
        if (IsElement(child, "t")) {
            text += TXMLDocument::NodeText(child);
        } else if (IsElement(child, "r")) {
            text += TXMLDocument::NodeText(Child(child, "t"));
        }
    }
    return text;
}

// Whether a number format shows a date or a time: the built-in ones that do, or a format code
// holding date or time letters outside quoted text, escapes and bracketed sections.
bool IsDateFormatCode(std::string_view code)
{
    bool quoted = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const auto close = code.find(']', i);
            const std::string_view inside =
                code.substr(i + 1, close == std::string_view::npos ? 0 : close - i - 1);
            if (inside == "h" || inside == "hh" || inside == "m" || inside == "mm" || inside == "s" ||
                inside == "ss") {
                return true;
            }
            i = close == std::string_view::npos ? code.size() : close;
        } else if (std::string_view("yYmMdDhHsS").find(c) != std::string_view::npos) {
            return true;
        } else if (c == ';') {
            break; // the first section decides
        }
    }
    return false;
}

bool IsBuiltInDateFormat(long id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
DateTime CivilFromDays(long long days)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    DateTime date{};
    date.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    date.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.Year = static_cast<int>(yoe + era * 400 + (date.Month <= 2 ? 1 : 0));
    return date;
}

// A serial date-time as the local date form; nothing for a serial no calendar date has.
std::optional<std::string> SerialToDateText(double serial, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466) { // up to 9999-12-31
        return std::nullopt;
    }
    long long days = static_cast<long long>(std::floor(serial));
    long long seconds = std::llround((serial - static_cast<double>(days)) * 86400.0);
    if (seconds == 86400) {
        ++days;
        seconds = 0;
    }
    if (!date1904) {
        if (days == 60) {
            return std::nullopt; // 1900-02-29, a day the 1900 date system counts but the calendar lacks
        }
        days -= days < 60 ? 25568 : 25569; // serial 1 is 1900-01-01
    } else {
        days -= 24107; // serial 0 is 1904-01-01
    }
    DateTime value = CivilFromDays(days);
    value.Hour = static_cast<int>(seconds / 3600);
    value.Minute = static_cast<int>(seconds / 60 % 60);
    value.Second = static_cast<int>(seconds % 60);
    return FormatLocalText(value);
}

// Column index (0-based) of a cell reference such as "AB12"; nothing when it has no letters.
std::optional<std::size_t> ColumnOfReference(std::string_view reference)
{
    std::size_t column = 0;
    std::size_t letters = 0;
    for (const char c : reference) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper < 'A' || upper > 'Z') {
            break;
        }
        column = column * 26 + static_cast<std::size_t>(upper - 'A' + 1);
        if (++letters > 3) {
            return kMaxImportColumns; // beyond any worksheet
        }
    }
    if (letters == 0) {
        return std::nullopt;
    }
    return column - 1;
}

class WorkbookReader
{
public:
    explicit WorkbookReader(const std::filesystem::path& path)
        : m_source(path.filename().string())
    {
        m_reader.ZipName = path;
        m_reader.DoProcessMessages = false;
    }

    ImportTable Read()
    {
        try {
            m_reader.OpenDirectory();
        } catch (const std::exception& e) {
            Fail(std::string("not a workbook: ") + e.what());
        }
        const std::string workbookName = WorkbookPartName();
        TXMLDocument workbook;
        Load(workbook, workbookName);
        const TXMLNode root = workbook.DocumentElement();
        m_date1904 = AttributeValue(Child(root, "workbookPr"), "date1904") == "1" ||
                     AttributeValue(Child(root, "workbookPr"), "date1904") == "true";
        const TXMLNode firstSheet = Child(Child(root, "sheets"), "sheet");
        if (!firstSheet) {
            Fail("the workbook has no worksheet");
        }
        const std::string folder = FolderOf(workbookName);
        const auto rels = Relationships(folder + "_rels/" + workbookName.substr(folder.size()) + ".rels");
        const std::string sheetId = AttributeValue(firstSheet, "id");
        std::string sheetName;
        for (const PackageRelationship& rel : rels) {
            if (rel.Id == sheetId) {
                sheetName = TargetName(folder, rel.Target);
            } else if (rel.Type.size() >= 13 && rel.Type.substr(rel.Type.size() - 13) == "sharedStrings") {
                ReadSharedStrings(TargetName(folder, rel.Target));
            } else if (rel.Type.size() >= 6 && rel.Type.substr(rel.Type.size() - 6) == "styles") {
                ReadStyles(TargetName(folder, rel.Target));
            }
        }
        if (sheetName.empty()) {
            Fail("the first worksheet is not in the workbook");
        }
        return ReadSheet(sheetName);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const { throw EImportError(m_source + ": " + what); }

    std::string PartText(const std::string& name, bool required, std::uint64_t maxBytes = kMaxPartBytes)
    {
        const archive::TZipHeaderInfo* member = FindPart(m_reader, name);
        if (member == nullptr) {
            if (required) {
                Fail("the workbook has no " + name);
            }
            return {};
        }
        try {
            return m_reader.ExtractToMemory(*member, maxBytes);
        } catch (const std::exception& e) {
            Fail(name + ": " + e.what());
        }
    }

    void Load(TXMLDocument& doc, const std::string& name, std::uint64_t maxBytes = kMaxPartBytes)
    {
        const std::string text = PartText(name, true, maxBytes);
        try {
            doc.LoadFromText(text);
        } catch (const std::exception& e) {
            Fail(name + ": " + e.what());
        }
    }

    std::vector<PackageRelationship> Relationships(const std::string& relsName)
    {
        const std::string text = PartText(relsName, false);
        if (text.empty()) {
            return {};
        }
        try {
            return ParsePackageRelationships(text);
        } catch (const std::exception& e) {
            Fail(relsName + ": " + e.what());
        }
    }

    static std::string TargetName(const std::string& folder, const std::string& target)
    {
        return ResolveRelationshipTarget(!target.empty() && target.front() == '/' ? target : folder + target);
    }

    std::string WorkbookPartName()
    {
        for (const PackageRelationship& rel : Relationships(std::string(kPackageRelsName))) {
            if ((rel.Type == kOfficeDocumentType || rel.Type == kStrictOfficeDocumentType) &&
                rel.TargetMode != "External") {
                return ResolveRelationshipTarget(rel.Target);
            }
        }
        return "xl/workbook.xml";
    }

    void ReadSharedStrings(const std::string& name)
    {
        TXMLDocument doc;
        Load(doc, name);
        for (TXMLNode item : doc.DocumentElement().children()) {
            if (IsElement(item, "si")) {
                m_sharedStrings.push_back(StringItemText(item));
            }
        }
    }

    void ReadStyles(const std::string& name)
    {
        TXMLDocument doc;
        Load(doc, name);
        const TXMLNode root = doc.DocumentElement();
        std::unordered_map<long, bool> customIsDate;
        for (TXMLNode format : Child(root, "numFmts").children()) {
            if (IsElement(format, "numFmt")) {
                customIsDate[std::strtol(AttributeValue(format, "numFmtId").c_str(), nullptr, 10)] =
                    IsDateFormatCode(AttributeValue(format, "formatCode"));
            }
        }
        for (TXMLNode xf : Child(root, "cellXfs").children()) {
            if (!IsElement(xf, "xf")) {
                continue;
            }
            const long id = std::strtol(AttributeValue(xf, "numFmtId").c_str(), nullptr, 10);
            const auto custom = customIsDate.find(id);
            m_dateStyles.push_back(custom != customIsDate.end() ? custom->second : IsBuiltInDateFormat(id));
        }
    }

    std::string CellText(TXMLNode cell, std::size_t rowNumber)
    {
        const std::string type = AttributeValue(cell, "t");
        const std::string value = TXMLDocument::NodeText(Child(cell, "v"));
        if (type == "s") {
            char* end = nullptr;
            const unsigned long index = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || index >= m_sharedStrings.size()) {
                Fail("row " + std::to_string(rowNumber) + ": a shared string that does not exist");
            }
            return m_sharedStrings[index];
        }
        if (type == "inlineStr") {
            return StringItemText(Child(cell, "is"));
        }
        if (type == "b") {
            return value == "1" ? "TRUE" : "FALSE";
        }
        if (type.empty() || type == "n") {
            const std::string style = AttributeValue(cell, "s");
            const unsigned long s = style.empty() ? 0 : std::strtoul(style.c_str(), nullptr, 10);
            if (!value.empty() && s < m_dateStyles.size() && m_dateStyles[s]) {
                char* end = nullptr;
                const double serial = std::strtod(value.c_str(), &end);
                if (*end == '\0') {
                    if (auto text = SerialToDateText(serial, m_date1904)) {
                        return *text;
                    }
                }
            }
        }
        return value; // numbers as written, formula strings, error values
    }

    ImportTable ReadSheet(const std::string& name)
    {
        TXMLDocument doc;
        Load(doc, name, kMaxImportSheetBytes);
        ImportTable table;
        table.ExactWidths = false;
        table.Source = m_source;
        std::size_t nextRow = 1;
        for (TXMLNode row : Child(doc.DocumentElement(), "sheetData").children()) {
            if (!IsElement(row, "row")) {
                continue;
            }
            const std::string r = AttributeValue(row, "r");
            const std::size_t rowNumber = r.empty() ? nextRow : std::strtoul(r.c_str(), nullptr, 10);
            nextRow = rowNumber + 1;
            if (rowNumber > kMaxImportRows || table.Rows.size() == kMaxImportRows) {
                Fail("row " + std::to_string(rowNumber) + ": more than " + std::to_string(kMaxImportRows) +
                     " rows");
            }
            std::vector<std::string> cells;
            for (TXMLNode cell : row.children()) {
                if (!IsElement(cell, "c")) {
                    continue;
                }
                const auto column = ColumnOfReference(AttributeValue(cell, "r")).value_or(cells.size());
                if (column >= kMaxImportColumns) {
                    Fail("row " + std::to_string(rowNumber) + ": more than " +
                         std::to_string(kMaxImportColumns) + " columns");
                }
                std::string text = CellText(cell, rowNumber);
                if (text.size() > kMaxImportCellBytes) {
                    Fail("row " + std::to_string(rowNumber) + ": a cell longer than " +
                         std::to_string(kMaxImportCellBytes) + " bytes");
                }
                if (cells.size() <= column) {
                    m_cellSlots += column + 1 - cells.size();
                    cells.resize(column + 1);
                }
                m_textBytes += text.size();
                if (m_cellSlots > kMaxImportCells || m_textBytes > kMaxImportTextBytes) {
                    Fail("row " + std::to_string(rowNumber) +
                         ": the worksheet holds more than an import reads");
                }
                cells[column] = std::move(text);
            }
            table.Rows.push_back(std::move(cells));
            table.RowNumbers.push_back(rowNumber);
        }
        return table;
    }

    std::string m_source;
    archive::TArchiveReader m_reader;
    std::vector<std::string> m_sharedStrings;
    std::vector<bool> m_dateStyles; // per cell format index: shows a date or time
    bool m_date1904 = false;
    // Cells repeat shared strings and may stand far apart: what the table would take is bounded.
    std::size_t m_cellSlots = 0;
    std::uint64_t m_textBytes = 0;
};

} // namespace

ImportTable ReadXlsxTable(const std::filesystem::path& path)
{
    return WorkbookReader(path).Read();
}

ImportTable ReadImportFile(const std::filesystem::path& path)
{
    const std::string source = path.filename().string();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxImportFileBytes) {
        throw EImportError(source + ": larger than an import reads");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw EImportError(source + ": cannot open the file: " + std::strerror(errno));
    }
    std::string bytes(4, '\0');
    in.read(bytes.data(), 4);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes == "PK\x03\x04") {
        return ReadXlsxTable(path);
    }
    std::ostringstream all;
    all << bytes << in.rdbuf();
    if (in.bad()) {
        throw EImportError(source + ": cannot read the file");
    }
    return ReadCsvTable(all.str(), source);
}

} // namespace engine
