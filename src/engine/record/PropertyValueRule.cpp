#include "engine/record/PropertyValueRule.h"

#include "engine/record/DateConvert.h"
#include "engine/record/DocumentRecord.h"

#include <algorithm>

namespace engine {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool IsDigitsOnlyProperty(std::size_t p)
{
    return p == static_cast<std::size_t>(CoreProperty::Revision) ||
           p == kCoreCount + static_cast<std::size_t>(AppProperty::TotalTime);
}

std::optional<std::string> PropertyValueProblem(std::size_t p, std::string_view text)
{
    if (text.empty()) {
        return std::nullopt;
    }
    const std::string quoted = std::string(DisplayName(p)) + ": \"" + std::string(text) + "\"";
    // The conversion to UTC also proves the local time exists and stays within 0001..9999.
    if (IsDateProperty(p) && !LocalTextToStoredDate(text)) {
        return quoted + " is not a valid local date and time \"YYYY-MM-DD hh:mm:ss\"";
    }
    if (IsDigitsOnlyProperty(p) && !std::all_of(text.begin(), text.end(), IsDigit)) {
        return quoted + " is not a number (digits only)";
    }
    return std::nullopt;
}

} // namespace engine
