#include "engine/PendingChanges.h"

namespace engine {

std::vector<PendingChange> PendingChanges(const DocumentRecord& record)
{
    std::vector<PendingChange> changes;
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (record.Changed(p)) {
            changes.push_back(PendingChange{p, record.LoadedValues[p], record.Value(p)});
        }
    }
    return changes;
}

void DropChange(DocumentRecord& record, std::size_t p)
{
    record.Value(p) = record.LoadedValues[p];
    record.SetChanged(p, false);
    record.Modified = false;
    for (std::size_t other = 0; other < kPropertyCount; ++other) {
        record.Modified = record.Modified || record.Changed(other);
    }
}

void AdoptSavedValues(DocumentRecord& record)
{
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (record.Changed(p)) {
            record.LoadedValues[p] = record.Value(p);
        }
    }
}

} // namespace engine
