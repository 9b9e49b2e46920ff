#include "cli/PropertyAssignment.h"

#include "cli/CloseNames.h"
#include "engine/record/DocumentRecord.h"
#include "engine/record/PersonalProperties.h"
#include "engine/record/PropertyValueRule.h"
#include "engine/record/StageValue.h"

#include <algorithm>

namespace cli {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

std::size_t PropertyOfName(const std::string& name)
{
    for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
        if (SameIgnoringCase(engine::DisplayName(p), name)) {
            return p;
        }
    }
    std::vector<std::string> names;
    for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
        names.emplace_back(engine::DisplayName(p));
    }
    const std::vector<std::string> close = CloseNames(name, names);
    std::string all;
    for (const std::string& known : names) {
        all += (all.empty() ? "" : ", ") + known;
    }
    throw EBadAssignment(
        "unknown property name \"" + name + "\"; " +
        (close.empty() ? "the names are: " + all : "did you mean " + JoinedAlternatives(close) + "?"));
}

PropertyAssignment ParseSetArgument(const std::string& argument)
{
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos) {
        throw EBadAssignment("\"" + argument + "\" is not NAME=VALUE");
    }
    const std::size_t property = PropertyOfName(argument.substr(0, equals));
    engine::PropertyInput value = engine::PropertyValueFromInput(property, argument.substr(equals + 1));
    if (value.Problem) {
        throw EBadAssignment(*value.Problem);
    }
    return PropertyAssignment{property, std::move(value.Value)};
}

std::vector<std::string> PersonalPropertyNames()
{
    std::vector<std::string> names;
    for (const std::size_t p : engine::PersonalProperties()) {
        names.emplace_back(engine::DisplayName(p));
    }
    return names;
}

std::vector<PropertyAssignment> ParseAssignments(const std::vector<std::string>& sets,
                                                 const std::vector<std::string>& clears)
{
    std::vector<PropertyAssignment> assignments;
    for (const std::string& set : sets) {
        assignments.push_back(ParseSetArgument(set));
    }
    for (const std::string& clear : clears) {
        assignments.push_back(PropertyAssignment{PropertyOfName(clear), {}});
    }
    for (std::size_t i = 0; i < assignments.size(); ++i) {
        for (std::size_t k = i + 1; k < assignments.size(); ++k) {
            if (assignments[i].Property == assignments[k].Property) {
                throw EBadAssignment(std::string(engine::DisplayName(assignments[i].Property)) +
                                     " is given more than once");
            }
        }
    }
    return assignments;
}

bool StageAssignments(engine::DocumentRecord& record, const std::vector<PropertyAssignment>& assignments)
{
    bool changed = false;
    for (const PropertyAssignment& assignment : assignments) {
        changed = engine::StageValue(record, assignment.Property, assignment.Value,
                                     engine::StageRule::RealChangesOnly) ||
                  changed;
    }
    return changed;
}

} // namespace cli
