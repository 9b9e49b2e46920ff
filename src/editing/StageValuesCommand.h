#pragma once

#include "editing/BatchValues.h"
#include "engine/record/DocumentList.h"
#include "engine/record/StageValue.h"

#include <QUndoCommand>

#include <cstdint>
#include <string>
#include <vector>

namespace editing {

// One value to stage on one record.
struct ValueEdit
{
    engine::DocumentRecord* Record = nullptr;
    std::size_t Property = 0;
    std::string Text;
};

// The same values on each of several records (Batch Modify, Remove Personal Information).
[[nodiscard]] std::vector<ValueEdit> SameValuesOn(const std::vector<engine::DocumentRecord*>& records,
                                                  const BatchValues& values);

// Any set of property values staged on the rows as one step of Undo: a cell edit, a batch, an
// import, a fill. Each value is staged by engine::StageValue under one rule; undo puts back every
// text, changed flag and Modified exactly as they were.
class StageValuesCommand : public QUndoCommand
{
public:
    // Checks every text against the value rule first: throws engine::EBadPropertyValue, and
    // nothing is staged, when one is refused. Under RealChangesOnly, values equal to what their
    // record holds are left out.
    StageValuesCommand(engine::DocumentList& rows,
                       std::vector<ValueEdit> edits,
                       engine::StageRule rule,
                       const QString& text);

    // True when the step would change nothing: pushing it is pointless.
    [[nodiscard]] bool changesNothing() const { return m_changes.empty(); }

    // How many values the step stages.
    [[nodiscard]] std::size_t changeCount() const { return m_changes.size(); }

    void redo() override;
    void undo() override;

private:
    struct Change
    {
        ValueEdit Edit;
        std::string OldText;
        bool OldChanged = false;
        bool OldModified = false;
    };

    engine::DocumentList& m_rows;
    // The list's RecordSetVersion when the step was made (see ListedCheck).
    std::uint64_t m_versionWhenMade = 0;
    engine::StageRule m_rule;
    std::vector<Change> m_changes;
};

} // namespace editing
