#pragma once

#include "engine/record/DocumentRecord.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A value the user asked for: property p (catalogue index) gets Value; empty clears it.
struct PropertyAssignment
{
    std::size_t Property = 0;
    std::string Value;
};

// A NAME or VALUE the user gave that cannot be applied; reported as a usage error.
class EBadAssignment : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The catalogue index of a display name, compared without regard to ASCII case. Throws EBadAssignment.
std::size_t PropertyOfName(const std::string& name);

// "NAME=VALUE" (split at the first '=') checked by engine::PropertyValueFromInput: dates in the local
// form, as a bare date or as an instant with Z or an offset (held in the record's form), Revision and
// TotalEditTime(second) digits only; an empty VALUE clears. Throws EBadAssignment.
PropertyAssignment ParseSetArgument(const std::string& argument);

// The properties that name people or their folders: Creator, LastModifiedBy, Company, Manager,
// LastPrinted and Template.
std::vector<std::string> PersonalPropertyNames();

// The --set and --clear arguments as one list (maybe empty); a property named twice is an error.
std::vector<PropertyAssignment> ParseAssignments(const std::vector<std::string>& sets,
                                                 const std::vector<std::string>& clears);

// Stages the values on the record, each only where it differs from the record's text; true when
// any did. Throws engine::EBadPropertyValue for a value the value rule refuses.
bool StageAssignments(engine::DocumentRecord& record, const std::vector<PropertyAssignment>& assignments);

} // namespace cli
