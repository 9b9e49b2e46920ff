#include "editing/RecordEdits.h"

#include "editing/QtText.h"
#include "editing/StageValuesCommand.h"
#include "engine/record/PropertyValueRule.h"

#include <QUndoStack>

#include <memory>

namespace editing {

bool StoreCellText(
    engine::DocumentList& rows, QUndoStack* stack, std::size_t row, std::size_t p, std::string text)
{
    if (row >= rows.RowCount() || p >= engine::kPropertyCount) {
        return false;
    }
    engine::DocumentRecord& record = rows.RecordAt(row);
    if (record.Value(p) == text || !engine::IsValidPropertyValue(p, text)) {
        return false;
    }
    auto command = std::make_unique<StageValuesCommand>(
        rows, std::vector<ValueEdit>{ValueEdit{&record, p, std::move(text)}},
        engine::StageRule::RealChangesOnly, QStringLiteral("Edit %1").arg(ToQString(engine::DisplayName(p))));
    if (stack != nullptr) {
        stack->push(command.release());
    } else {
        command->redo();
    }
    return true;
}

std::optional<std::string> BatchValuesProblem(const BatchValues& values)
{
    for (const BatchValue& value : values) {
        if (value.Property >= engine::kPropertyCount) {
            return "no property number " + std::to_string(value.Property);
        }
        if (auto problem = engine::PropertyValueProblem(value.Property, value.Value)) {
            return problem;
        }
    }
    return std::nullopt;
}

RecordEdits::RecordEdits(engine::DocumentList& rows, QUndoStack& stack, QObject* parent)
    : QObject(parent)
    , m_rows(rows)
    , m_stack(stack)
{}

bool RecordEdits::storeCellText(std::size_t row, std::size_t p, std::string text)
{
    return StoreCellText(m_rows, &m_stack, row, p, std::move(text));
}

bool RecordEdits::applyBatch(BatchValues values, bool checkedOnly)
{
    if (BatchValuesProblem(values)) {
        return false;
    }
    std::vector<engine::DocumentRecord*> targets;
    targets.reserve(m_rows.RowCount());
    for (std::size_t row = 0; row < m_rows.RowCount(); ++row) {
        if ((!checkedOnly || m_rows.CheckState(row) == engine::kChecked) && (!m_inScope || m_inScope(row))) {
            targets.push_back(&m_rows.RecordAt(row));
        }
    }
    if (values.empty() || targets.empty()) {
        return false;
    }
    const std::size_t valueCount = values.size();
    m_stack.push(new StageValuesCommand(m_rows, SameValuesOn(targets, values),
                                        engine::StageRule::FlagEvenIfEqual, QStringLiteral("Batch Modify")));
    emit batchApplied(valueCount, targets.size());
    return true;
}

} // namespace editing
