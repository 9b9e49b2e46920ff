#pragma once

#include "engine/record/DocumentList.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A JSON string literal (quotes included) of valid UTF-8 text: '"', '\' and control characters
// escaped, everything else passed through.
std::string JsonString(std::string_view validUtf8);
// The same literal appended to out.
void AppendJsonString(std::string& out, std::string_view validUtf8);

enum class JsonForm
{
    Array, // one array, each object over several lines
    Lines, // JSON Lines: one object a line, nothing around them
};

// Writes row objects one at a time, each as soon as it is added, so that a long listing holds no
// row after it is written. The objects have the keys of exporting::RowKeys(), in that order;
// FileSize is a number, Error null or the message; withStatistics adds "Statistics"
// (JsonStatisticsObject) and withCustom "Custom" (JsonCustomObject) after Error.
class JsonRowsWriter
{
public:
    JsonRowsWriter(std::ostream& out, JsonForm form, bool withCustom, bool withStatistics);

    void Add(const engine::DocumentRecord& record);
    // Closes the array (nothing for JSON Lines).
    void Finish();

private:
    std::ostream& m_out;
    const JsonForm m_form;
    const bool m_withCustom;
    const bool m_withStatistics;
    std::vector<std::string> m_keyPrefixes;
    std::string m_text; // one row's text, kept to reuse its buffer
    bool m_first = true;
};

// The rows as a JSON array of objects with the keys of exporting::RowKeys(), in that order; FileSize is a
// number, Error null or the message; withStatistics adds "Statistics" (JsonStatisticsObject) and
// withCustom "Custom" (JsonCustomObject) after Error.
void WriteJson(std::ostream& out,
               const engine::DocumentList& rows,
               bool withCustom = false,
               bool withStatistics = false);

} // namespace cli
