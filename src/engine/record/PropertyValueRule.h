#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The one rule a property text must meet before it is stored by an editor, the batch dialog or the
// command-line tool, or written into a package: dates are local "YYYY-MM-DD hh:mm:ss" naming a
// valid local date and time that the clocks do not skip (or an instant "YYYY-MM-DDThh:mm:ssZ", the
// form a record keeps for a time in the repeated hour), Revision and TotalEditTime(second) are
// digits only. An empty text is always allowed (it removes the property).
namespace engine {

// True for Revision and TotalEditTime(second).
[[nodiscard]] bool IsDigitsOnlyProperty(std::size_t p);

// Why text cannot be the value of property p, naming the property; std::nullopt when it can.
[[nodiscard]] std::optional<std::string> PropertyValueProblem(std::size_t p, std::string_view text);

// A value as a user gave it on the command line or in a table: a date may take any form
// DateInputToRecordText accepts and becomes the record's form; other texts are kept as given.
struct PropertyInput
{
    std::string Value;
    std::optional<std::string> Problem; // as PropertyValueProblem words it; Value is then unusable
};

[[nodiscard]] PropertyInput PropertyValueFromInput(std::size_t p, std::string_view text);

[[nodiscard]] inline bool IsValidPropertyValue(std::size_t p, std::string_view text)
{
    return !PropertyValueProblem(p, text);
}

} // namespace engine
