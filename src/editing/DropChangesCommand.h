#pragma once

#include "engine/record/DocumentList.h"
#include "engine/record/PendingChanges.h"

#include <QUndoCommand>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace editing {

// The changes of one record that a review takes back.
struct RecordDrops
{
    engine::DocumentRecord* Record = nullptr;
    std::vector<engine::PendingChange> Changes;
};

// Takes back pending changes on several records as one step: each returns to the text the package
// holds and loses its flag. Undo puts every record back exactly as it was, texts, flags, custom
// properties and Modified alike.
class DropChangesCommand : public QUndoCommand
{
public:
    DropChangesCommand(engine::DocumentList& rows, std::vector<RecordDrops> drops);

    void redo() override;
    void undo() override;

private:
    // What a drop can touch on one record.
    struct EditState
    {
        std::array<std::string, engine::kPropertyCount> Values;
        std::array<bool, engine::kPropertyCount> Changed{};
        bool Modified = false;
        engine::CustomProperties Custom;
    };

    engine::DocumentList& m_rows;
    // The list's RecordSetVersion when the step was made (see ListedCheck).
    std::uint64_t m_versionWhenMade = 0;
    std::vector<RecordDrops> m_drops;
    std::vector<EditState> m_before; // one per entry of m_drops
};

} // namespace editing
