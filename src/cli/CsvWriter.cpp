#include "cli/CsvWriter.h"

#include "cli/RowFields.h"

#include <vector>

namespace cli {

namespace {

void WriteRecord(std::ostream& out, const std::vector<std::string>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out << (i == 0 ? "" : ",") << CsvField(fields[i]);
    }
    out << "\r\n";
}

} // namespace

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
    return out;
}

void WriteCsv(std::ostream& out,
              const engine::DocumentList& rows,
              const std::vector<std::string>& customNames)
{
    std::vector<std::string> header = RowKeys();
    for (const std::string& name : customNames) {
        header.push_back(ValidText(name));
    }
    WriteRecord(out, header);
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        RowFields fields = FieldsOf(rows.RecordAt(row));
        std::vector<std::string> record{fields.FileName, fields.FullPath, fields.FileSize.value_or("")};
        record.insert(record.end(), fields.Properties.begin(), fields.Properties.end());
        record.push_back(fields.Error.value_or(""));
        for (const std::string& value : engine::CustomCells(rows.RecordAt(row), customNames)) {
            record.push_back(ValidText(value));
        }
        WriteRecord(out, record);
    }
}

} // namespace cli
