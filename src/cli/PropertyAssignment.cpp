#include "cli/PropertyAssignment.h"

#include "engine/DateConvert.h"
#include "engine/DocumentRecord.h"

#include <algorithm>

namespace cli {

namespace {

constexpr std::size_t kRevision = 6;
constexpr std::size_t kTotalEditTime = engine::kCoreCount + 1;

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exactly "YYYY-MM-DD hh:mm:ss": the form the grid shows, so a date copied from `show` is accepted.
bool HasLocalDateForm(const std::string& text)
{
    static constexpr std::string_view kForm = "dddd-dd-dd dd:dd:dd";
    if (text.size() != kForm.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kForm.size(); ++i) {
        if (kForm[i] == 'd' ? !IsDigit(text[i]) : text[i] != kForm[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::size_t PropertyOfName(const std::string& name)
{
    for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
        if (SameIgnoringCase(engine::DisplayName(p), name)) {
            return p;
        }
    }
    throw EBadAssignment("unknown property name \"" + name + "\"");
}

PropertyAssignment ParseSetArgument(const std::string& argument)
{
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos) {
        throw EBadAssignment("\"" + argument + "\" is not NAME=VALUE");
    }
    PropertyAssignment assignment{PropertyOfName(argument.substr(0, equals)), argument.substr(equals + 1)};
    const std::string& value = assignment.Value;
    const std::string_view name = engine::DisplayName(assignment.Property);
    if (value.empty()) {
        return assignment;
    }
    if (engine::IsDateProperty(assignment.Property) &&
        (!HasLocalDateForm(value) || !engine::LocalTextToStoredDate(value))) {
        throw EBadAssignment(std::string(name) + ": \"" + value + "\" is not a date \"YYYY-MM-DD hh:mm:ss\"");
    }
    if ((assignment.Property == kRevision || assignment.Property == kTotalEditTime) &&
        !std::all_of(value.begin(), value.end(), IsDigit)) {
        throw EBadAssignment(std::string(name) + ": \"" + value + "\" is not a number (digits only)");
    }
    return assignment;
}

std::vector<std::string> PersonalPropertyNames()
{
    return {"Creator", "LastModifiedBy", "Company", "Manager", "LastPrinted", "Template"};
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
    if (assignments.empty()) {
        throw EBadAssignment("nothing to set: give --set NAME=VALUE or --clear NAME");
    }
    return assignments;
}

} // namespace cli
