#include "editing/RecordEdits.h"

#include "editing/QtText.h"
#include "editing/RecordEditCommand.h"
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
    engine::RecordChanges changes;
    changes.Values.push_back(engine::StagedText{p, std::move(text)});
    auto command = std::make_unique<RecordEditCommand>(
        rows, SameChangesOn({&rows.RecordAt(row)}, std::move(changes)),
        QStringLiteral("Edit %1").arg(ToQString(engine::DisplayName(p))));
    if (command->changesNothing()) {
        return false;
    }
    if (stack != nullptr) {
        stack->push(command.release());
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

engine::RecordChanges StageAll(const BatchValues& values)
{
    engine::RecordChanges changes;
    changes.Rule = engine::StageRule::FlagEvenIfEqual;
    for (const BatchValue& value : values) {
        changes.Values.push_back(engine::StagedText{value.Property, value.Value});
    }
    return changes;
}

RecordEdits::RecordEdits(engine::DocumentList& rows, QUndoStack& stack, QObject* parent)
    : QObject(parent)
    , m_rows(rows)
    , m_stack(stack)
{}

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
    m_stack.push(new RecordEditCommand(m_rows, SameChangesOn(targets, StageAll(values)),
                                       QStringLiteral("Batch Modify")));
    emit batchApplied(valueCount, targets.size());
    return true;
}

} // namespace editing
