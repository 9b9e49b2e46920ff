#include "editing/RecordEdits.h"

#include "editing/BatchApplyCommand.h"
#include "editing/CellEditCommand.h"
#include "engine/record/PropertyValueRule.h"

#include <QUndoStack>

namespace editing {

RecordEdits::RecordEdits(engine::DocumentList& rows, QUndoStack& stack, QObject* parent)
    : QObject(parent)
    , m_rows(rows)
    , m_stack(stack)
{}

bool RecordEdits::storeCellText(std::size_t row, std::size_t p, std::string text)
{
    if (row >= m_rows.RowCount() || p >= engine::kPropertyCount) {
        return false;
    }
    engine::DocumentRecord& record = m_rows.RecordAt(row);
    if (record.Value(p) == text || !engine::IsValidPropertyValue(p, text)) {
        return false;
    }
    m_stack.push(new CellEditCommand(m_rows, record, p, std::move(text)));
    return true;
}

bool RecordEdits::applyBatch(BatchValues values, bool checkedOnly)
{
    for (const BatchValue& value : values) {
        if (value.Property >= engine::kPropertyCount ||
            !engine::IsValidPropertyValue(value.Property, value.Value)) {
            return false;
        }
    }
    std::vector<engine::DocumentRecord*> targets;
    targets.reserve(m_rows.RowCount());
    for (std::size_t row = 0; row < m_rows.RowCount(); ++row) {
        if (!checkedOnly || m_rows.CheckState(row) == engine::kChecked) {
            targets.push_back(&m_rows.RecordAt(row));
        }
    }
    if (values.empty() || targets.empty()) {
        return false;
    }
    m_stack.push(new BatchApplyCommand(m_rows, std::move(targets), std::move(values)));
    return true;
}

} // namespace editing
