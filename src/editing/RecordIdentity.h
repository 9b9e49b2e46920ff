#pragma once

#include "engine/record/DocumentList.h"

#include <unordered_set>

// Undo steps name a record by its address: a row keeps its record at one address for its whole
// life whatever happens to the rows before it. The steps that take rows away or reread them keep
// the records they replaced and put the very same objects back when undone, and a save clears the
// stack. A step whose record is no longer listed does nothing.
namespace editing {

[[nodiscard]] bool IsListed(const engine::DocumentList& rows, const engine::DocumentRecord* record);
[[nodiscard]] std::unordered_set<const engine::DocumentRecord*>
ListedRecords(const engine::DocumentList& rows);

// Has a view of the rows repaint them once.
void RepaintRows(engine::DocumentList& rows);

} // namespace editing
