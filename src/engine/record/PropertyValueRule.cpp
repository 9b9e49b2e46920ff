#include "engine/record/PropertyValueRule.h"

#include "engine/record/DateConvert.h"
#include "engine/record/DocumentRecord.h"

#include <algorithm>
#include <utility>

namespace engine {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string Quoted(std::size_t p, std::string_view text)
{
    return std::string(DisplayName(p)) + ": \"" + std::string(text) + "\"";
}

constexpr const char* kSkippedTime =
    " does not exist in the local time zone: the clocks skip it when daylight saving time starts";

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
    const std::string quoted = Quoted(p, text);
    // The conversion to UTC also proves the local time exists and stays within 0001..9999.
    if (IsDateProperty(p) && !RecordDateToStoredDate(text)) {
        return quoted + (DateInputIsSkippedLocalTime(text)
                             ? kSkippedTime
                             : " is not a valid local date and time \"YYYY-MM-DD hh:mm:ss\"");
    }
    if (IsDigitsOnlyProperty(p) && !std::all_of(text.begin(), text.end(), IsDigit)) {
        return quoted + " is not a number (digits only)";
    }
    return std::nullopt;
}

PropertyInput PropertyValueFromInput(std::size_t p, std::string_view text)
{
    if (!IsDateProperty(p) || text.empty()) {
        return PropertyInput{std::string(text), PropertyValueProblem(p, text)};
    }
    if (auto value = DateInputToRecordText(text)) {
        return PropertyInput{std::move(*value), std::nullopt};
    }
    return PropertyInput{std::string(text),
                         Quoted(p, text) +
                             (DateInputIsSkippedLocalTime(text)
                                  ? kSkippedTime
                                  : " is not a date: give YYYY-MM-DD hh:mm:ss or YYYY-MM-DD (local "
                                    "time), or an instant such as 2024-01-02T10:00:00Z or "
                                    "2024-01-02T10:00:00+01:00")};
}

} // namespace engine
