#include "engine/record/PendingChanges.h"

#include "engine/record/CustomProperties.h"
#include "engine/record/EditState.h"

#include <algorithm>

namespace engine {

namespace {

std::string LoadedCustomValue(const CustomProperties& custom, const std::string& name)
{
    const auto found =
        std::find_if(custom.Loaded.begin(), custom.Loaded.end(),
                     [&](const CustomProperty& item) { return SameCustomName(item.Name, name); });
    return found == custom.Loaded.end() ? std::string() : found->Value;
}

} // namespace

std::string ChangeName(const PendingChange& change)
{
    return change.CustomName.empty() ? std::string(DisplayName(change.Property))
                                     : change.CustomName + " (custom)";
}

std::vector<PendingChange> PendingChanges(const DocumentRecord& record)
{
    std::vector<PendingChange> changes;
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (record.Changed(p)) {
            changes.push_back(PendingChange{p, std::string(record.LoadedValues[p]), record.Value(p), {}});
        }
    }
    const CustomProperties& custom = record.Custom;
    for (const CustomProperty& item : custom.Items) {
        if (item.Changed) {
            changes.push_back(PendingChange{0, LoadedCustomValue(custom, item.Name), item.Value, item.Name});
        }
    }
    for (const std::string& name : custom.Removed) {
        const bool wasThere =
            std::any_of(custom.Loaded.begin(), custom.Loaded.end(),
                        [&](const CustomProperty& item) { return SameCustomName(item.Name, name); });
        if (wasThere) {
            changes.push_back(PendingChange{0, LoadedCustomValue(custom, name), {}, name});
        }
    }
    return changes;
}

void DropChange(DocumentRecord& record, const PendingChange& change)
{
    if (!change.CustomName.empty()) {
        DropCustomChange(record, change.CustomName);
        UpdateModified(record);
        return;
    }
    DropChange(record, change.Property);
}

void DropChange(DocumentRecord& record, std::size_t p)
{
    record.Value(p) = std::string(record.LoadedValues[p]);
    record.SetChanged(p, false);
    UpdateModified(record);
}

void AdoptSavedValues(DocumentRecord& record)
{
    record.LoadedValues.Assign([&](std::size_t p) -> std::string_view {
        return record.Changed(p) ? std::string_view(record.Value(p)) : record.LoadedValues[p];
    });
}

} // namespace engine
