#include "engine/ImportPlan.h"

#include "engine/PropertyValueRule.h"

#include <map>
#include <unordered_map>

namespace engine {
namespace {

enum class ColumnRole
{
    Ignored, // a column the import knows and never imports
    FileName,
    FullPath,
    Property,
};

struct ColumnMeaning
{
    ColumnRole Role = ColumnRole::Ignored;
    std::size_t Property = 0;
};

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A header cell by the machine-readable names ("FullPath", "Title", "TotalEditTime(second)") or
// the export captions ("     File Name", "Full Path", "File Size").
std::optional<ColumnMeaning> MeaningOfHeader(const std::string& cell)
{
    const std::string name = Trimmed(cell);
    if (name == "FileName" || name == "File Name") {
        return ColumnMeaning{ColumnRole::FileName};
    }
    if (name == "FullPath" || name == "Full Path") {
        return ColumnMeaning{ColumnRole::FullPath};
    }
    if (name == "FileSize" || name == "File Size" || name == "Error") {
        return ColumnMeaning{ColumnRole::Ignored};
    }
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (name == DisplayName(p)) {
            return ColumnMeaning{ColumnRole::Property, p};
        }
    }
    return std::nullopt;
}

bool HasKeyColumn(const std::vector<std::string>& row)
{
    for (const std::string& cell : row) {
        const auto meaning = MeaningOfHeader(cell);
        if (meaning && (meaning->Role == ColumnRole::FullPath || meaning->Role == ColumnRole::FileName)) {
            return true;
        }
    }
    return false;
}

} // namespace

ImportSheet InterpretImportTable(const ImportTable& table, const ImportOptions& options)
{
    ImportSheet sheet;
    sheet.Source = table.Source;
    // The export writes a title row above the captions.
    std::size_t header = 0;
    if (!table.Rows.empty() && !HasKeyColumn(table.Rows[0]) && table.Rows.size() > 1 &&
        HasKeyColumn(table.Rows[1])) {
        header = 1;
    }
    if (table.Rows.empty() || !HasKeyColumn(table.Rows[header])) {
        throw EImportError(table.Source + ": no header row with a FullPath or FileName column");
    }
    std::vector<ColumnMeaning> columns;
    std::vector<std::string> unknown;
    std::optional<std::size_t> pathColumn;
    std::optional<std::size_t> nameColumn;
    std::map<std::size_t, std::size_t> propertyColumns; // property -> column; first wins
    for (std::size_t c = 0; c < table.Rows[header].size(); ++c) {
        const auto meaning = MeaningOfHeader(table.Rows[header][c]);
        if (!meaning) {
            if (!Trimmed(table.Rows[header][c]).empty()) {
                unknown.push_back("\"" + Trimmed(table.Rows[header][c]) + "\"");
            }
            continue;
        }
        if (meaning->Role == ColumnRole::FullPath && !pathColumn) {
            pathColumn = c;
        } else if (meaning->Role == ColumnRole::FileName && !nameColumn) {
            nameColumn = c;
        } else if (meaning->Role == ColumnRole::Property) {
            propertyColumns.try_emplace(meaning->Property, c);
        }
    }
    if (!unknown.empty()) {
        std::string list;
        for (const std::string& name : unknown) {
            list += (list.empty() ? "" : ", ") + name;
        }
        sheet.Warnings.push_back(table.Source + ": columns not imported: " + list);
    }
    sheet.KeyIsPath = pathColumn.has_value();
    const std::size_t keyColumn = pathColumn ? *pathColumn : *nameColumn;
    for (std::size_t r = header + 1; r < table.Rows.size(); ++r) {
        const std::vector<std::string>& cells = table.Rows[r];
        const auto cellAt = [&](std::size_t c) { return c < cells.size() ? cells[c] : std::string(); };
        ImportRow row;
        row.Number = table.RowNumbers[r];
        row.Key = cellAt(keyColumn);
        if (Trimmed(row.Key).empty()) {
            continue; // a blank line or a row without a package
        }
        for (const auto& [property, column] : propertyColumns) {
            std::string text = cellAt(column);
            if (text.empty() && !options.EmptyClears) {
                continue;
            }
            if (auto problem = PropertyValueProblem(property, text)) {
                sheet.Problems.push_back(table.Source + ":" + std::to_string(row.Number) + ": " + *problem);
                continue;
            }
            row.Values.push_back(ImportValue{property, std::move(text)});
        }
        sheet.Rows.push_back(std::move(row));
    }
    return sheet;
}

std::filesystem::path ImportPathKey(const std::string& path, const std::filesystem::path& base)
{
    const std::filesystem::path given(path);
    return (given.is_absolute() ? given : base / given).lexically_normal();
}

ImportMatch MatchImportRows(const ImportSheet& sheet,
                            const std::vector<const DocumentRecord*>& records,
                            const std::filesystem::path& base)
{
    std::unordered_map<std::string, std::size_t> index; // key -> record
    std::vector<std::string> repeatedNames;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string key =
            sheet.KeyIsPath ? ImportPathKey(records[i]->FullPath, base).string() : records[i]->FileName;
        if (!index.try_emplace(key, i).second && !sheet.KeyIsPath) {
            repeatedNames.push_back(key);
        }
    }
    if (!repeatedNames.empty()) {
        throw EImportError(sheet.Source + ": the table names packages by file name, and " +
                           repeatedNames.front() + " is the name of more than one package");
    }
    ImportMatch match;
    for (std::size_t r = 0; r < sheet.Rows.size(); ++r) {
        const ImportRow& row = sheet.Rows[r];
        const std::string key = sheet.KeyIsPath ? ImportPathKey(row.Key, base).string() : row.Key;
        if (const auto found = index.find(key); found != index.end()) {
            match.Pairs.emplace_back(r, found->second);
        } else {
            match.Unmatched.push_back(sheet.Source + ":" + std::to_string(row.Number) + ": no package " +
                                      row.Key);
        }
    }
    return match;
}

std::vector<PendingChange> ApplyImportRow(const ImportRow& row, DocumentRecord& record)
{
    std::vector<PendingChange> changes;
    for (const ImportValue& value : row.Values) {
        if (record.Value(value.Property) == value.Text) {
            continue;
        }
        changes.push_back(PendingChange{value.Property, record.Value(value.Property), value.Text, {}});
        record.Value(value.Property) = value.Text;
        record.SetChanged(value.Property, true);
        record.Modified = true;
    }
    return changes;
}

} // namespace engine
