#include "engine/record/StageValue.h"

#include "engine/record/PropertyValueRule.h"

namespace engine {

bool StageValue(DocumentRecord& record, std::size_t p, std::string_view text, StageRule rule)
{
    if (auto problem = PropertyValueProblem(p, text)) {
        throw EBadPropertyValue(*problem);
    }
    const bool textChanges = record.Value(p) != text;
    if (!textChanges && rule == StageRule::RealChangesOnly) {
        return false;
    }
    const bool changed = textChanges || !record.Changed(p) || !record.Modified;
    record.Value(p) = text;
    record.SetChanged(p, true);
    record.Modified = true;
    return changed;
}

} // namespace engine
