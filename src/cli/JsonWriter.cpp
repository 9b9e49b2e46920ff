#include "cli/JsonWriter.h"

#include "cli/CustomOutput.h"
#include "cli/StatisticsOutput.h"
#include "export/RowFields.h"

#include <cstdio>

namespace cli {

void AppendJsonString(std::string& out, std::string_view validUtf8)
{
    out += '"';
    std::size_t plain = 0; // start of the run of characters copied as they are
    const auto flush = [&](std::size_t end) { out.append(validUtf8.data() + plain, end - plain); };
    for (std::size_t i = 0; i < validUtf8.size(); ++i) {
        const char c = validUtf8[i];
        const char* escape = nullptr;
        switch (c) {
        case '"':
            escape = "\\\"";
            break;
        case '\\':
            escape = "\\\\";
            break;
        case '\n':
            escape = "\\n";
            break;
        case '\r':
            escape = "\\r";
            break;
        case '\t':
            escape = "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
                continue;
            }
        }
        flush(i);
        plain = i + 1;
        if (escape != nullptr) {
            out += escape;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
        }
    }
    flush(validUtf8.size());
    out += '"';
}

std::string JsonString(std::string_view validUtf8)
{
    std::string out;
    out.reserve(validUtf8.size() + 2);
    AppendJsonString(out, validUtf8);
    return out;
}

void WriteJson(std::ostream& out, const engine::DocumentList& rows, bool withCustom, bool withStatistics)
{
    // Each row is built in one text and written at once; the keys are escaped once.
    std::vector<std::string> keyPrefixes;
    for (const std::string& key : exporting::RowKeys()) {
        keyPrefixes.push_back("\n  " + JsonString(key) + ": ");
    }
    out << '[';
    std::string text;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const exporting::RowFields fields = exporting::FieldsOf(rows.RecordAt(row));
        std::size_t k = 0;
        const auto key = [&]() -> std::string& { return text += keyPrefixes[k++]; };
        text.assign(row == 0 ? "\n {" : ",\n {");
        AppendJsonString(key(), fields.FileName);
        text += ',';
        AppendJsonString(key(), fields.FullPath);
        text += ',';
        key() += fields.FileSize ? *fields.FileSize : std::string("null");
        text += ',';
        for (const std::string& value : fields.Properties) {
            AppendJsonString(key(), value);
            text += ',';
        }
        if (fields.Error) {
            AppendJsonString(key(), *fields.Error);
        } else {
            key() += "null";
        }
        if (withStatistics) {
            text += ",\n  \"Statistics\": " + JsonStatisticsObject(rows.RecordAt(row));
        }
        if (withCustom) {
            text += ",\n  \"Custom\": " + JsonCustomObject(rows.RecordAt(row));
        }
        text += "\n }";
        out << text;
    }
    out << (rows.RowCount() == 0 ? "]\n" : "\n]\n");
}

} // namespace cli
