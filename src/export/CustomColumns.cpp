#include "export/CustomColumns.h"

#include "archive/Utf8.h"
#include "engine/parts/CustomColumnCaption.h"
#include "engine/record/CustomProperties.h"
#include "engine/record/DocumentList.h"
#include "export/BuildXml.h"

namespace exporting {
namespace {

// The characters XML 1.0 allows after the first one of a name, without ':'.
bool IsNameChar(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == 0xB7 || (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) ||
           (c >= 0xF8 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D ||
           c == 0x203F || c == 0x2040 || (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) ||
           (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

} // namespace

std::string CustomAttributeName(std::string_view name, const std::unordered_set<std::string>& used)
{
    std::string safe = "Custom_";
    for (std::size_t pos = 0; pos < name.size();) {
        const archive::Utf8Step step = archive::DecodeUtf8(name, pos);
        if (step.Valid && IsNameChar(step.CodePoint)) {
            safe.append(name.substr(pos, step.Length));
        } else {
            safe += '_';
        }
        pos += step.Length;
    }
    std::string unique = safe;
    for (int n = 2; used.count(unique) != 0; ++n) {
        unique = safe + "_" + std::to_string(n);
    }
    return unique;
}

void AddCustomColumns(GridSnapshot& grid, const engine::DocumentList& rows)
{
    const std::vector<std::string> names = engine::CustomColumnNames(rows);
    if (names.empty()) {
        return;
    }
    std::unordered_set<std::string> used;
    grid.AttributeNames.resize(grid.Captions.size());
    for (std::size_t column = 0; column < grid.Captions.size(); ++column) {
        if (grid.AttributeNames[column].empty()) {
            grid.AttributeNames[column] = XmlAttributeName(grid.Captions[column]);
        }
        used.insert(grid.AttributeNames[column]);
    }
    const std::size_t standardColumns = grid.Captions.size();
    for (const std::string& name : names) {
        grid.Captions.push_back(engine::CustomColumnCaption(name));
        grid.AttributeNames.push_back(CustomAttributeName(name, used));
        used.insert(grid.AttributeNames.back());
    }
    for (std::size_t row = 0; row < grid.Rows.size() && row < rows.RowCount(); ++row) {
        grid.Rows[row].resize(standardColumns);
        for (std::string& value : engine::CustomCells(rows.RecordAt(row), names)) {
            grid.Rows[row].push_back(std::move(value));
        }
    }
}

} // namespace exporting
