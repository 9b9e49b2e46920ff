#include "export/BuildCsv.h"

#include "engine/parts/CustomColumnCaption.h"
#include "engine/record/CustomProperties.h"
#include "engine/record/DocumentList.h"
#include "export/RowFields.h"

namespace exporting {
namespace {

void WriteRecord(std::ostream& out, const std::vector<std::string>& fields, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) {
        out << (i == 0 ? "" : ",") << CsvField(CellAt(fields, i));
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

GridSnapshot
CsvSnapshotOf(const engine::DocumentList& rows, const std::vector<std::string>& customNames, DateForm dates)
{
    GridSnapshot grid;
    grid.Captions = RowKeys();
    for (const std::string& name : customNames) {
        grid.Captions.push_back(ValidText(engine::CustomColumnCaption(name)));
    }
    grid.Rows.reserve(rows.RowCount());
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const engine::DocumentRecord& source = rows.RecordAt(row);
        RowFields fields = FieldsOf(source);
        for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
            if (engine::IsDateProperty(p)) {
                fields.Properties[p] = DateInForm(fields.Properties[p], dates);
            }
        }
        std::vector<std::string> record{std::move(fields.FileName), std::move(fields.FullPath),
                                        fields.FileSize.value_or("")};
        record.insert(record.end(), std::make_move_iterator(fields.Properties.begin()),
                      std::make_move_iterator(fields.Properties.end()));
        record.push_back(fields.Error.value_or(""));
        const std::vector<std::string> custom = engine::CustomCells(source, customNames);
        for (std::size_t i = 0; i < custom.size(); ++i) {
            const engine::CustomProperty* item = engine::FindCustomProperty(source.Custom, customNames[i]);
            const bool date = item != nullptr && engine::KindOfType(item->Type) == engine::CustomKind::Date;
            record.push_back(ValidText(date ? DateInForm(custom[i], dates) : custom[i]));
        }
        grid.Rows.push_back(std::move(record));
    }
    return grid;
}

void BuildCsvHeader(std::ostream& out, const GridSnapshot& grid)
{
    WriteRecord(out, grid.Captions, grid.Captions.size());
}

void BuildCsvRecords(std::ostream& out, const GridSnapshot& grid)
{
    for (const std::vector<std::string>& row : grid.Rows) {
        WriteRecord(out, row, grid.Captions.size());
    }
}

void BuildCsv(std::ostream& out, const GridSnapshot& grid)
{
    BuildCsvHeader(out, grid);
    BuildCsvRecords(out, grid);
}

} // namespace exporting
