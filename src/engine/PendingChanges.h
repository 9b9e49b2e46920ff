#pragma once

#include "engine/DocumentRecord.h"

#include <cstddef>
#include <string>
#include <vector>

// The changes a save of a record would write, each with the text the package held before.
namespace engine {

struct PendingChange
{
    std::size_t Property = 0; // catalogue index
    std::string Old;          // as loaded (or as last saved)
    std::string New;          // as edited
};

// The flagged properties of the record in catalogue order.
[[nodiscard]] std::vector<PendingChange> PendingChanges(const DocumentRecord& record);

// Takes back the change of property p: the loaded text returns, the flag is cleared and Modified
// stays set only while another property is still flagged.
void DropChange(DocumentRecord& record, std::size_t p);

// After a successful save: the saved texts become the loaded ones.
void AdoptSavedValues(DocumentRecord& record);

} // namespace engine
