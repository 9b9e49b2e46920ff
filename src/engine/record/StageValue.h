#pragma once

#include "engine/record/DocumentRecord.h"

#include <cstddef>
#include <stdexcept>
#include <string_view>

// The one way a property text is staged on a record for the next save: the value rule first, then
// the text, its changed flag and Modified. Editors, Batch Modify, import, fill, Remove Personal
// Information and the command-line tool all stage through it.
namespace engine {

enum class StageRule
{
    // Only a text that differs exactly (case and blanks included) is stored and flagged; an equal
    // one leaves the record as it is.
    RealChangesOnly,
    // The text is flagged even when equal to the record's: the user chose exactly these
    // properties (Batch Modify, Remove Personal Information), and a save writes them.
    FlagEvenIfEqual,
};

// A text the value rule refuses; the message names the property.
class EBadPropertyValue : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Stages text as property p of the record under the rule; true when the text, the flag or
// Modified changed. Throws EBadPropertyValue, the record unchanged, when the value rule refuses it
// (under RealChangesOnly, a text equal to the record's is left alone before the rule is asked).
bool StageValue(DocumentRecord& record, std::size_t p, std::string_view text, StageRule rule);

} // namespace engine
