#include "engine/record/StageValue.h"

#include "engine/record/EditState.h"
#include "engine/record/PropertyValueRule.h"

namespace engine {

bool StageValue(DocumentRecord& record, std::size_t p, std::string_view text, StageRule rule)
{
    const bool textChanges = record.Value(p) != text;
    // The text the record holds already is no new value: a stored text the rule would refuse (a
    // date kept as the package wrote it) is left as it is.
    if (!textChanges && rule == StageRule::RealChangesOnly) {
        return false;
    }
    if (auto problem = PropertyValueProblem(p, text)) {
        throw EBadPropertyValue(*problem);
    }
    const bool changed = textChanges || !record.Changed(p) || !record.Modified;
    record.Value(p) = text;
    record.SetChanged(p, true);
    UpdateModified(record);
    return changed;
}

} // namespace engine
