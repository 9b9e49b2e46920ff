#include "archive/Utf8.h"
#include "engine/tables/ImportTable.h"

namespace engine {
namespace {

char DetectSeparator(std::string_view text)
{
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            break;
        } else if (!quoted && c == ',') {
            ++commas;
        } else if (!quoted && c == ';') {
            ++semicolons;
        }
    }
    return semicolons > commas ? ';' : ',';
}

class CsvParser
{
public:
    CsvParser(std::string_view text, std::string source)
        : m_text(text)
        , m_source(std::move(source))
        , m_separator(DetectSeparator(text))
    {}

    ImportTable Parse()
    {
        ImportTable table;
        table.Source = m_source;
        while (m_pos < m_text.size()) {
            const std::size_t rowLine = m_line;
            std::vector<std::string> row = ParseRow();
            table.Rows.push_back(std::move(row));
            table.RowNumbers.push_back(rowLine);
        }
        return table;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw EImportError(m_source + ":" + std::to_string(m_line) + ": " + what);
    }

    // One record; m_pos ends after its line end.
    std::vector<std::string> ParseRow()
    {
        std::vector<std::string> row;
        while (true) {
            if (row.size() == kMaxImportColumns) {
                Fail("more than " + std::to_string(kMaxImportColumns) + " columns");
            }
            row.push_back(ParseField());
            if (m_pos >= m_text.size()) {
                return row;
            }
            const char c = m_text[m_pos++];
            if (c == m_separator) {
                continue;
            }
            if (c == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n') {
                ++m_pos;
            }
            ++m_line; // c was a line end
            return row;
        }
    }

    std::string ParseField()
    {
        std::string field;
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
            const std::size_t startLine = m_line;
            ++m_pos;
            while (true) {
                if (m_pos >= m_text.size()) {
                    m_line = startLine;
                    Fail("a quoted field is not closed");
                }
                const char c = m_text[m_pos++];
                if (c == '"') {
                    if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                        field += '"';
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                if (c == '\n') {
                    ++m_line;
                }
                Append(field, c);
            }
            if (m_pos < m_text.size() && !IsFieldEnd(m_text[m_pos])) {
                Fail("text after a closing quote");
            }
            return field;
        }
        while (m_pos < m_text.size() && !IsFieldEnd(m_text[m_pos])) {
            if (m_text[m_pos] == '"') {
                Fail("a quote inside an unquoted field");
            }
            Append(field, m_text[m_pos++]);
        }
        return field;
    }

    [[nodiscard]] bool IsFieldEnd(char c) const { return c == m_separator || c == '\n' || c == '\r'; }

    void Append(std::string& field, char c) const
    {
        if (field.size() == kMaxImportCellBytes) {
            Fail("a cell longer than " + std::to_string(kMaxImportCellBytes) + " bytes");
        }
        field += c;
    }

    std::string_view m_text;
    std::string m_source;
    char m_separator;
    std::size_t m_pos = 0;
    std::size_t m_line = 1;
};

} // namespace

ImportTable ReadCsvTable(std::string_view bytes, const std::string& source)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (const auto bad = archive::InvalidUtf8Offset(bytes); bad != std::string_view::npos) {
        throw EImportError(source + ": not UTF-8 text (byte offset " + std::to_string(bad) + ")");
    }
    return CsvParser(bytes, source).Parse();
}

} // namespace engine
