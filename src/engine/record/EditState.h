#pragma once

#include "engine/record/CustomProperties.h"
#include "engine/record/DocumentRecord.h"
#include "engine/record/PendingChanges.h"
#include "engine/record/StageValue.h"

#include <bitset>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The operations through which a record's edit state changes: its property texts, their changed
// flags, its custom property edits and Modified. Modified is never set by hand: it follows from
// the flags, plus the one explicit mark of a package to be saved whatever it holds (MarkForSave).
// Staging a value (StageValue), dropping a change (DropChange) and custom edits
// (ApplyCustomChanges) keep to the same rule.
namespace engine {

// Sets Modified from the flags, the custom edits and the mark.
void UpdateModified(DocumentRecord& record);

// Marks the record to be saved although nothing is flagged: a package whose load failed is saved
// on purpose so that its problem is reported. The mark lasts until the next load or save.
void MarkForSave(DocumentRecord& record);

// After a load: nothing is flagged, and the texts read are the loaded ones.
void MarkLoaded(DocumentRecord& record);

// After a save that really rewrote the package (or needed no change): the saved texts become the
// loaded ones and nothing is flagged any more.
void MarkSaved(DocumentRecord& record);

// Stages the changes of from on into, the changes of from winning: two rows of one package are
// saved as one.
void MergeChanges(DocumentRecord& into, const DocumentRecord& from);

// Which of the seventeen properties an edit may touch.
using PropertySet = std::bitset<kPropertyCount>;

// A text to stage as property Property.
struct StagedText
{
    std::size_t Property = 0;
    std::string Text;
};

// The edits of one record, applied in this order by ApplyRecordChanges: changes taken back,
// texts staged under one rule, custom property changes.
struct RecordChanges
{
    std::vector<PendingChange> Drops;
    std::vector<StagedText> Values;
    StageRule Rule = StageRule::RealChangesOnly;
    std::vector<CustomChange> Custom;

    // The properties the edits may touch, and whether they touch custom properties.
    [[nodiscard]] PropertySet TouchedProperties() const;
    [[nodiscard]] bool TouchesCustom() const;
};

// Applies the edits to the record. Throws EBadPropertyValue or ECustomPropertyError at the first
// that cannot be applied, the ones before it applied: take a RecordSnapshot first to put the
// record back.
void ApplyRecordChanges(DocumentRecord& record, const RecordChanges& changes);

// What an edit may change on a record, kept so that it can be put back exactly: the texts and
// flags of some properties, the custom properties when asked for, Modified and the mark. Holds no
// more than it is asked for, so that a step over 100,000 rows stays small.
class RecordSnapshot
{
public:
    RecordSnapshot(const DocumentRecord& record, PropertySet properties, bool custom);

    // Puts back what was taken; the rest of the record stays as it is.
    void RestoreTo(DocumentRecord& record) const;
    // True when the record holds what was taken: an edit changed nothing on it.
    [[nodiscard]] bool SameAs(const DocumentRecord& record) const;

private:
    PropertySet m_properties;
    PropertySet m_changed;
    bool m_modified = false;
    bool m_markedForSave = false;
    std::vector<std::string> m_texts; // one per property in m_properties, in catalogue order
    std::unique_ptr<const CustomProperties> m_custom;
};

} // namespace engine
