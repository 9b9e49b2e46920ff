#include "engine/record/EditState.h"


#include <algorithm>

namespace engine {

void UpdateModified(DocumentRecord& record)
{
    bool modified = record.MarkedForSave || HasCustomChanges(record);
    for (std::size_t p = 0; p < kPropertyCount && !modified; ++p) {
        modified = record.Changed(p);
    }
    record.Modified = modified;
}

void MarkForSave(DocumentRecord& record)
{
    record.MarkedForSave = true;
    record.Modified = true;
}

void MarkLoaded(DocumentRecord& record)
{
    record.CoreChanged.fill(false);
    record.AppChanged.fill(false);
    record.MarkedForSave = false;
    record.Modified = false;
    record.LoadedValues.Assign([&](std::size_t p) -> std::string_view { return record.Value(p); });
}

void MarkSaved(DocumentRecord& record)
{
    AdoptSavedValues(record);
    record.CoreChanged.fill(false);
    record.AppChanged.fill(false);
    MarkCustomSaved(record);
    record.MarkedForSave = false;
    record.Modified = false;
}

void MergeChanges(DocumentRecord& into, const DocumentRecord& from)
{
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (from.Changed(p)) {
            into.Value(p) = from.Value(p);
            into.SetChanged(p, true);
        }
    }
    CustomProperties& target = into.Custom;
    const auto removeItem = [&target](std::string_view name) {
        std::erase_if(target.Items,
                      [name](const CustomProperty& item) { return SameCustomName(item.Name, name); });
    };
    for (const std::string& name : from.Custom.Removed) {
        removeItem(name);
        if (std::none_of(target.Removed.begin(), target.Removed.end(),
                         [&name](const std::string& removed) { return SameCustomName(removed, name); })) {
            target.Removed.push_back(name);
        }
    }
    for (const CustomProperty& item : from.Custom.Items) {
        if (!item.Changed) {
            continue;
        }
        std::erase_if(target.Removed,
                      [&item](const std::string& removed) { return SameCustomName(removed, item.Name); });
        const auto same =
            std::find_if(target.Items.begin(), target.Items.end(), [&item](const CustomProperty& held) {
                return SameCustomName(held.Name, item.Name);
            });
        if (same != target.Items.end()) {
            *same = item;
        } else {
            target.Items.push_back(item);
        }
    }
    if (target.Loaded.empty() && !from.Custom.Loaded.empty()) {
        target.Loaded = from.Custom.Loaded;
    }
    into.MarkedForSave = into.MarkedForSave || from.MarkedForSave;
    UpdateModified(into);
}

PropertySet RecordChanges::TouchedProperties() const
{
    PropertySet touched;
    for (const PendingChange& drop : Drops) {
        if (drop.CustomName.empty()) {
            touched.set(drop.Property);
        }
    }
    for (const StagedText& value : Values) {
        touched.set(value.Property);
    }
    return touched;
}

bool RecordChanges::TouchesCustom() const
{
    return !Custom.empty() || std::any_of(Drops.begin(), Drops.end(), [](const PendingChange& drop) {
               return !drop.CustomName.empty();
           });
}

void ApplyRecordChanges(DocumentRecord& record, const RecordChanges& changes)
{
    for (const PendingChange& drop : changes.Drops) {
        DropChange(record, drop);
    }
    for (const StagedText& value : changes.Values) {
        StageValue(record, value.Property, value.Text, changes.Rule);
    }
    ApplyCustomChanges(record, changes.Custom);
}

RecordSnapshot::RecordSnapshot(const DocumentRecord& record, PropertySet properties, bool custom)
    : m_properties(properties)
    , m_modified(record.Modified)
    , m_markedForSave(record.MarkedForSave)
{
    m_texts.reserve(properties.count());
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (properties[p]) {
            m_texts.push_back(record.Value(p));
            m_changed[p] = record.Changed(p);
        }
    }
    if (custom) {
        m_custom = std::make_unique<const CustomProperties>(record.Custom);
    }
}

void RecordSnapshot::RestoreTo(DocumentRecord& record) const
{
    std::size_t text = 0;
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (m_properties[p]) {
            record.Value(p) = m_texts[text++];
            record.SetChanged(p, m_changed[p]);
        }
    }
    if (m_custom) {
        record.Custom = *m_custom;
    }
    record.MarkedForSave = m_markedForSave;
    record.Modified = m_modified;
}

bool RecordSnapshot::SameAs(const DocumentRecord& record) const
{
    if (record.Modified != m_modified || record.MarkedForSave != m_markedForSave) {
        return false;
    }
    std::size_t text = 0;
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        if (m_properties[p]) {
            if (record.Value(p) != m_texts[text++] || record.Changed(p) != m_changed[p]) {
                return false;
            }
        }
    }
    return !m_custom || record.Custom == *m_custom;
}

} // namespace engine
