#pragma once

#include "engine/record/DocumentRecord.h"

#include <cstddef>
#include <string>
#include <vector>

// The changes a save of a record would write, each with the text the package held before.
namespace engine {

struct PendingChange
{
    std::size_t Property = 0; // catalogue index; unused for a custom property
    std::string Old;          // as loaded (or as last saved)
    std::string New;          // as edited
    std::string CustomName;   // set for a custom property; "" for the catalogue's properties
};

// How a change names its property: the display name, or the custom name followed by " (custom)".
[[nodiscard]] std::string ChangeName(const PendingChange& change);

// The flagged properties of the record in catalogue order, then its custom property changes in
// the order of the part (removed ones last, with an empty new text).
[[nodiscard]] std::vector<PendingChange> PendingChanges(const DocumentRecord& record);

// Takes back the change: the loaded text returns, the flag is cleared and Modified stays set only
// while another change is still staged.
void DropChange(DocumentRecord& record, const PendingChange& change);
void DropChange(DocumentRecord& record, std::size_t p);

// After a successful save: the saved texts become the loaded ones.
void AdoptSavedValues(DocumentRecord& record);

} // namespace engine
