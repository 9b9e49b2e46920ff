#include "engine/tables/ImportPlan.h"

#include "engine/parts/CustomColumnCaption.h"
#include "engine/record/CustomProperties.h"
#include "engine/record/PropertyValueRule.h"
#include "engine/record/StageValue.h"

#include <map>
#include <sys/stat.h>
#include <unordered_map>

namespace engine {
namespace {

enum class ColumnRole
{
    Ignored, // a column the import knows and never imports
    FileName,
    FullPath,
    Property,
    Custom,
};

struct ColumnMeaning
{
    ColumnRole Role = ColumnRole::Ignored;
    std::size_t Property = 0;
    std::string Name; // the ignored column's name, or the custom property's name
};

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A header cell by the machine-readable names ("FullPath", "Title", "TotalEditTime(second)"), the
// export captions ("     File Name", "Full Path", "File Size") or a custom column caption.
std::optional<ColumnMeaning> MeaningOfHeader(const std::string& cell)
{
    const std::string name = Trimmed(cell);
    if (name == "FileName" || name == "File Name") {
        return ColumnMeaning{ColumnRole::FileName, 0, {}};
    }
    if (name == "FullPath" || name == "Full Path") {
        return ColumnMeaning{ColumnRole::FullPath, 0, {}};
    }
    if (name == "FileSize" || name == "File Size") {
        return ColumnMeaning{ColumnRole::Ignored, 0, "FileSize"};
    }
    if (name == "Error") {
        return ColumnMeaning{ColumnRole::Ignored, 0, "Error"};
    }
    // The statistics a table may carry are read-only.
    if (const auto statistic = StatisticOfCaption(name)) {
        return ColumnMeaning{ColumnRole::Ignored, 0, StatisticCaption(*statistic)};
    }
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (name == DisplayName(p)) {
            return ColumnMeaning{ColumnRole::Property, p, {}};
        }
    }
    if (auto custom = CustomNameOfCaption(name)) {
        return ColumnMeaning{ColumnRole::Custom, 0, std::move(*custom)};
    }
    return std::nullopt;
}

// Two columns mean the same when this is equal.
std::string IdentityOf(const ColumnMeaning& meaning)
{
    switch (meaning.Role) {
    case ColumnRole::FileName:
        return "FileName";
    case ColumnRole::FullPath:
        return "FullPath";
    case ColumnRole::Property:
        return "p" + std::to_string(meaning.Property);
    case ColumnRole::Custom:
        return "c" + CustomNameKey(meaning.Name);
    case ColumnRole::Ignored:
        break;
    }
    return meaning.Name;
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

std::string KnownCaptions()
{
    std::string list = "FileName, FullPath, FileSize, Error";
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        list += ", " + std::string(DisplayName(p));
    }
    return list + ", " + std::string(kStatisticCaptionPrefix) + "NAME for a statistic (never imported) and " +
           std::string(kCustomCaptionPrefix) + "NAME for a custom property";
}

bool ColumnHasText(const ImportTable& table, std::size_t header, std::size_t column)
{
    for (std::size_t r = header + 1; r < table.Rows.size(); ++r) {
        if (column < table.Rows[r].size() && !Trimmed(table.Rows[r][column]).empty()) {
            return true;
        }
    }
    return false;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& separator)
{
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : separator) + line;
    }
    return text;
}

// The fields of a row past the header's width that hold something (a worksheet row may carry empty
// cells there).
bool HasTextBeyond(const std::vector<std::string>& cells, std::size_t width)
{
    for (std::size_t c = width; c < cells.size(); ++c) {
        if (!Trimmed(cells[c]).empty()) {
            return true;
        }
    }
    return false;
}

bool IsBlank(const std::vector<std::string>& cells)
{
    return !HasTextBeyond(cells, 0);
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
    const std::vector<std::string>& captions = table.Rows[header];
    std::vector<std::string> unknown;
    std::optional<std::size_t> pathColumn;
    std::optional<std::size_t> nameColumn;
    std::vector<std::pair<std::size_t, std::size_t>> propertyColumns; // (property, column)
    std::vector<std::pair<std::string, std::size_t>> customColumns;   // (name, column)
    std::map<std::string, std::size_t> seen;                          // identity -> column
    for (std::size_t c = 0; c < captions.size(); ++c) {
        const std::string caption = Trimmed(captions[c]);
        const auto meaning = MeaningOfHeader(caption);
        if (!meaning) {
            // An uncaptioned column without text is what a trailing separator leaves.
            if (!caption.empty() || ColumnHasText(table, header, c)) {
                unknown.push_back("\"" + caption + "\"");
            }
            continue;
        }
        if (const auto [at, inserted] = seen.try_emplace(IdentityOf(*meaning), c); !inserted) {
            throw EImportError(table.Source + ": columns " + std::to_string(at->second + 1) + " and " +
                               std::to_string(c + 1) + " both mean \"" + caption +
                               "\": which one to import is not clear");
        }
        switch (meaning->Role) {
        case ColumnRole::FullPath:
            pathColumn = c;
            break;
        case ColumnRole::FileName:
            nameColumn = c;
            break;
        case ColumnRole::Property:
            propertyColumns.emplace_back(meaning->Property, c);
            break;
        case ColumnRole::Custom:
            customColumns.emplace_back(meaning->Name, c);
            break;
        case ColumnRole::Ignored:
            break;
        }
    }
    if (!unknown.empty()) {
        if (!options.IgnoreUnknownColumns) {
            throw EUnknownColumn(table.Source + ": unknown column" + (unknown.size() > 1 ? "s " : " ") +
                                 Joined(unknown, ", ") + "; the known columns are " + KnownCaptions());
        }
        sheet.Warnings.push_back(table.Source + ": columns not imported: " + Joined(unknown, ", "));
    }
    // A row of another width than the header has its fields in the wrong columns (an unquoted
    // separator, a lost one), so the whole table is refused rather than guessed at.
    std::vector<std::string> misshapen;
    const std::size_t width = captions.size();
    for (std::size_t r = header + 1; r < table.Rows.size(); ++r) {
        const std::vector<std::string>& cells = table.Rows[r];
        if (IsBlank(cells)) {
            continue;
        }
        const std::string place = table.Source + ":" + std::to_string(table.RowNumbers[r]) + ": ";
        const bool wider = table.ExactWidths ? cells.size() > width : HasTextBeyond(cells, width);
        if (wider) {
            misshapen.push_back(place + std::to_string(cells.size()) + " fields, but the header has " +
                                std::to_string(width));
        } else if (table.ExactWidths && options.EmptyClears && cells.size() < width) {
            misshapen.push_back(place + std::to_string(cells.size()) + " fields, but the header has " +
                                std::to_string(width) + " (empty cells clear, so every field must be there)");
        }
    }
    if (!misshapen.empty()) {
        throw EImportError(Joined(misshapen, "\n"));
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
            const std::string text = cellAt(column);
            if (text.empty() && !options.EmptyClears) {
                continue;
            }
            PropertyInput value = PropertyValueFromInput(property, text);
            if (value.Problem) {
                sheet.Problems.push_back(table.Source + ":" + std::to_string(row.Number) + ": " +
                                         *value.Problem);
                continue;
            }
            row.Values.push_back(ImportValue{property, std::move(value.Value)});
        }
        for (const auto& [name, column] : customColumns) {
            std::string text = cellAt(column);
            if (text.empty() && !options.EmptyClears) {
                continue;
            }
            row.Custom.push_back(ImportCustomValue{name, std::move(text)});
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
    // The same file reached by two names (a link, "./") is one package: its rows would both apply.
    std::map<std::pair<dev_t, ino_t>, std::size_t> files; // identity -> sheet row
    std::map<std::size_t, std::size_t> rowOfRecord;       // record -> sheet row
    std::vector<std::string> twice;
    const auto place = [&](std::size_t r) {
        return sheet.Source + ":" + std::to_string(sheet.Rows[r].Number);
    };
    for (std::size_t r = 0; r < sheet.Rows.size(); ++r) {
        const ImportRow& row = sheet.Rows[r];
        const std::filesystem::path path = ImportPathKey(row.Key, base);
        const std::string key = sheet.KeyIsPath ? path.string() : row.Key;
        const auto found = index.find(key);
        if (found == index.end()) {
            struct stat st
            {
            };

            if (sheet.KeyIsPath && stat(path.c_str(), &st) != 0) {
                match.Missing.push_back(place(r) + ": no package at " + row.Key + ": no such file");
            } else {
                match.Unmatched.push_back(place(r) + ": no package at " + row.Key);
            }
            continue;
        }
        std::optional<std::size_t> earlier;
        if (const auto same = rowOfRecord.find(found->second); same != rowOfRecord.end()) {
            earlier = same->second;
        } else {
            rowOfRecord.emplace(found->second, r);
        }

        struct stat st
        {
        };

        if (!earlier && stat(ImportPathKey(records[found->second]->FullPath, base).c_str(), &st) == 0) {
            if (const auto [at, inserted] = files.try_emplace({st.st_dev, st.st_ino}, r); !inserted) {
                earlier = at->second;
            }
        }
        if (earlier) {
            twice.push_back(place(*earlier) + " and " + place(r) + " both name the package " + row.Key);
            continue;
        }
        match.Pairs.emplace_back(r, found->second);
    }
    if (!twice.empty()) {
        throw EImportError(Joined(twice, "\n"));
    }
    return match;
}

std::vector<CustomChange> ImportCustomChanges(const ImportRow& row, const DocumentRecord& record)
{
    std::vector<CustomChange> changes;
    for (const ImportCustomValue& value : row.Custom) {
        const CustomProperty* existing = FindCustomProperty(record.Custom, value.Name);
        if (existing == nullptr ? value.Text.empty() : existing->Value == value.Text) {
            continue;
        }
        const CustomKind kind = existing != nullptr ? KindOfType(existing->Type) : CustomKind::Text;
        changes.push_back(CustomChange{value.Name, kind, value.Text, value.Text.empty()});
    }
    return changes;
}

std::vector<PendingChange> ApplyImportRow(const ImportSheet& sheet,
                                          const ImportRow& row,
                                          DocumentRecord& record,
                                          std::vector<std::string>& problems)
{
    std::vector<PendingChange> changes;
    for (const ImportValue& value : row.Values) {
        std::string old = record.Value(value.Property);
        if (StageValue(record, value.Property, value.Text, StageRule::RealChangesOnly)) {
            changes.push_back(PendingChange{value.Property, std::move(old), value.Text, {}});
        }
    }
    for (const CustomChange& change : ImportCustomChanges(row, record)) {
        const CustomProperty* existing = FindCustomProperty(record.Custom, change.Name);
        const std::string old = existing != nullptr ? existing->Value : std::string();
        try {
            if (!ApplyCustomChanges(record, {change})) {
                continue; // the value the property holds, written another way ("TRUE" for true)
            }
        } catch (const ECustomPropertyError& e) {
            // The message starts with the property's name.
            problems.push_back(sheet.Source + ":" + std::to_string(row.Number) + ": " +
                               std::string(kCustomCaptionPrefix) + e.what());
            continue;
        }
        const CustomProperty* now = FindCustomProperty(record.Custom, change.Name);
        changes.push_back(PendingChange{0, old, now != nullptr ? now->Value : std::string(), change.Name});
    }
    return changes;
}

} // namespace engine
