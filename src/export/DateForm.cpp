#include "export/DateForm.h"

#include "engine/record/CustomProperties.h"
#include "engine/record/DateConvert.h"
#include "engine/record/DocumentList.h"

#include <optional>

namespace exporting {

std::string DateInForm(std::string_view recordText, DateForm form)
{
    std::optional<std::string> converted;
    if (form == DateForm::WithOffset) {
        converted = engine::RecordDateToOffsetDate(recordText);
    } else if (form == DateForm::Utc) {
        converted = engine::RecordDateToStoredDate(recordText);
    }
    return converted ? std::move(*converted) : std::string(recordText);
}

void PutDatesInForm(engine::DocumentList& rows, DateForm form)
{
    if (form == DateForm::Local) {
        return;
    }
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        engine::DocumentRecord& record = rows.RecordAt(row);
        for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
            if (engine::IsDateProperty(p)) {
                record.Value(p) = DateInForm(record.Value(p), form);
            }
        }
        for (engine::CustomProperty& item : record.Custom.Items) {
            if (engine::KindOfType(item.Type) == engine::CustomKind::Date) {
                item.Value = DateInForm(item.Value, form);
            }
        }
    }
}

} // namespace exporting
