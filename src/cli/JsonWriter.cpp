#include "cli/JsonWriter.h"

#include "cli/CustomOutput.h"
#include "export/RowFields.h"

#include <cstdio>

namespace cli {

std::string JsonString(std::string_view validUtf8)
{
    std::string out = "\"";
    for (const char c : validUtf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

void WriteJson(std::ostream& out, const engine::DocumentList& rows, bool withCustom)
{
    const std::vector<std::string>& keys = exporting::RowKeys();
    out << '[';
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const exporting::RowFields fields = exporting::FieldsOf(rows.RecordAt(row));
        std::size_t k = 0;
        const auto key = [&] { return "\n  " + JsonString(keys[k++]) + ": "; };
        out << (row == 0 ? "\n {" : ",\n {");
        out << key() << JsonString(fields.FileName) << ',';
        out << key() << JsonString(fields.FullPath) << ',';
        out << key() << (fields.FileSize ? *fields.FileSize : std::string("null")) << ',';
        for (const std::string& value : fields.Properties) {
            out << key() << JsonString(value) << ',';
        }
        out << key() << (fields.Error ? JsonString(*fields.Error) : std::string("null"));
        if (withCustom) {
            out << ",\n  \"Custom\": " << JsonCustomObject(rows.RecordAt(row));
        }
        out << "\n }";
    }
    out << (rows.RowCount() == 0 ? "]\n" : "\n]\n");
}

} // namespace cli
