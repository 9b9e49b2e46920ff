#include "editing/BatchValues.h"

namespace editing {

void ApplyBatchValues(engine::DocumentRecord& record, const BatchValues& values)
{
    for (const BatchValue& value : values) {
        record.Value(value.Property) = value.Value;
        record.SetChanged(value.Property, true);
        record.Modified = true;
    }
}

} // namespace editing
