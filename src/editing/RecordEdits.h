#pragma once

#include "editing/BatchValues.h"
#include "engine/record/DocumentList.h"
#include "engine/record/EditState.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QUndoStack;

namespace editing {

// Stores text as property p of a row when it differs exactly (case and blanks included), as one
// step on the stack; true when it was stored. Throws engine::EBadPropertyValue, the row unchanged,
// when the value rule refuses the text. Without a stack (a model used on its own, with no history)
// the value is staged at once.
bool StoreCellText(
    engine::DocumentList& rows, QUndoStack* stack, std::size_t row, std::size_t p, std::string text);

// Why the values cannot be applied, as the value rule words it for the first value it refuses;
// std::nullopt when every value can be.
[[nodiscard]] std::optional<std::string> BatchValuesProblem(const BatchValues& values);

// The values staged as chosen properties: flagged even where a row holds that text already.
[[nodiscard]] engine::RecordChanges StageAll(const BatchValues& values);

// The Batch Modify dialog's way to change the document rows: every change is one step on the undo
// stack. A cell edit goes through the grid model's setData.
class RecordEdits : public QObject
{
    Q_OBJECT

public:
    RecordEdits(engine::DocumentList& rows, QUndoStack& stack, QObject* parent = nullptr);

    // Applies the values to every row in scope, or to the checked ones only, flagging them even
    // where a row holds that text already; false (and no step) when there is no value or no such
    // row, or when a value breaks the value rule (see BatchValuesProblem).
    bool applyBatch(BatchValues values, bool checkedOnly);

    // Which rows applyBatch may change (the rows a filter shows); every row when none is set.
    void setRowScope(std::function<bool(std::size_t row)> inScope) { m_inScope = std::move(inScope); }

    [[nodiscard]] engine::DocumentList& rows() const { return m_rows; }

signals:
    // applyBatch staged values on rows.
    void batchApplied(std::size_t values, std::size_t rows);

public:
    [[nodiscard]] QUndoStack& undoStack() const { return m_stack; }

private:
    engine::DocumentList& m_rows;
    QUndoStack& m_stack;
    std::function<bool(std::size_t)> m_inScope;
};

} // namespace editing
