#include "cli/CustomOutput.h"

#include "cli/JsonWriter.h"
#include "export/RowFields.h"

#include <unordered_set>

namespace cli {

void ReportCustomPartErrors(engine::DocumentList& rows)
{
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        engine::DocumentRecord& record = rows.RecordAt(row);
        if (!record.Custom.Error.empty()) {
            record.LastError += (record.LastError.empty() ? "" : "; ") + record.Custom.Error;
        }
    }
}

std::string JsonCustomObject(const engine::DocumentRecord& record)
{
    std::string json = "{";
    std::unordered_set<std::string> written;
    for (const engine::CustomProperty& item : record.Custom.Items) {
        if (!written.insert(engine::CustomNameKey(item.Name)).second) {
            continue; // a later property of a name already given
        }
        json += (json.size() == 1 ? "\n   " : ",\n   ") + JsonString(exporting::ValidText(item.Name)) +
                ": {\"type\": " + JsonString(exporting::ValidText(item.Type)) +
                ", \"value\": " + JsonString(exporting::ValidText(item.Value)) + "}";
    }
    return json + (json.size() == 1 ? "}" : "\n  }");
}

} // namespace cli
