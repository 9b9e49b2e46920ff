#pragma once

#include "engine/record/DocumentList.h"

#include <cstdint>
#include <optional>
#include <unordered_set>

// Undo steps name a record by its address: a row keeps its record at one address for its whole
// life whatever happens to the rows before it. The steps that take rows away or reread them keep
// the records they replaced and put the very same objects back when undone, and a save clears the
// stack. A step whose record is no longer listed does nothing.
namespace editing {

[[nodiscard]] bool IsListed(const engine::DocumentList& rows, const engine::DocumentRecord* record);
[[nodiscard]] std::unordered_set<const engine::DocumentRecord*>
ListedRecords(const engine::DocumentList& rows);

// Which records of a step still reach rows, decided once per undo or redo. The step notes the
// list's RecordSetVersion when it is made; while that is unchanged every record it names still
// does, and only otherwise are the rows walked, so that a step on one row of 100,000 stays cheap.
class ListedCheck
{
public:
    ListedCheck(const engine::DocumentList& rows, std::uint64_t versionWhenMade);

    [[nodiscard]] bool Listed(const engine::DocumentRecord* record) const
    {
        return !m_listed || m_listed->contains(record);
    }

private:
    std::optional<std::unordered_set<const engine::DocumentRecord*>> m_listed;
};

// Has a view of the rows repaint them once.
void RepaintRows(engine::DocumentList& rows);

} // namespace editing
