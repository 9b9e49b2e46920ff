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

JsonRowsWriter::JsonRowsWriter(std::ostream& out, JsonForm form, bool withCustom, bool withStatistics)
    : m_out(out)
    , m_form(form)
    , m_withCustom(withCustom)
    , m_withStatistics(withStatistics)
{
    // The keys are escaped once; an array shows one key a line, a JSON Lines object stays on one.
    const bool array = m_form == JsonForm::Array;
    for (const std::string& key : exporting::RowKeys()) {
        m_keyPrefixes.push_back((array ? "\n  " : m_keyPrefixes.empty() ? "" : " ") + JsonString(key) + ": ");
    }
    if (m_form == JsonForm::Array) {
        m_out << '[';
    }
}

void JsonRowsWriter::Add(const engine::DocumentRecord& record)
{
    const bool array = m_form == JsonForm::Array;
    const exporting::RowFields fields = exporting::FieldsOf(record);
    std::size_t k = 0;
    const auto key = [&]() -> std::string& { return m_text += m_keyPrefixes[k++]; };
    m_text.assign(!array ? "{" : m_first ? "\n {" : ",\n {");
    AppendJsonString(key(), fields.FileName);
    m_text += ',';
    AppendJsonString(key(), fields.FullPath);
    m_text += ',';
    key() += fields.FileSize ? *fields.FileSize : std::string("null");
    m_text += ',';
    for (const std::string& value : fields.Properties) {
        AppendJsonString(key(), value);
        m_text += ',';
    }
    if (fields.Error) {
        AppendJsonString(key(), *fields.Error);
    } else {
        key() += "null";
    }
    const char* next = array ? ",\n  " : ", ";
    if (m_withStatistics) {
        m_text += next;
        m_text += "\"Statistics\": " + JsonStatisticsObject(record);
    }
    if (m_withCustom) {
        m_text += next;
        m_text += "\"Custom\": " + JsonCustomObject(record);
    }
    m_text += array ? "\n }" : "}\n";
    m_out << m_text;
    m_first = false;
}

void JsonRowsWriter::Finish()
{
    if (m_form == JsonForm::Array) {
        m_out << (m_first ? "]\n" : "\n]\n");
    }
}

void WriteJson(std::ostream& out, const engine::DocumentList& rows, bool withCustom, bool withStatistics)
{
    JsonRowsWriter writer(out, JsonForm::Array, withCustom, withStatistics);
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        writer.Add(rows.RecordAt(row));
    }
    writer.Finish();
}

} // namespace cli
