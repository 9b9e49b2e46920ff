#include "engine/DateConvert.h"

#include "engine/PropertyValueRule.h"

#include <cstdint>
#include <cstdio>
#include <ctime>

namespace engine {
namespace {

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::tm ToTm(const DateTime& value)
{
    std::tm tm{};
    tm.tm_year = value.Year - 1900;
    tm.tm_mon = value.Month - 1;
    tm.tm_mday = value.Day;
    tm.tm_hour = value.Hour;
    tm.tm_min = value.Minute;
    tm.tm_sec = value.Second;
    tm.tm_isdst = -1;
    return tm;
}

std::optional<DateTime> FromTm(const std::tm& tm)
{
    const DateTime value{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    if (!IsValidDateTime(value)) {
        return std::nullopt;
    }
    return value;
}

// Local time of an instant with the zone rules in force at that instant. TZ is read again on every
// call: localtime_r alone may keep the zone it saw first.
std::optional<DateTime> LocalOfInstant(std::time_t instant)
{
    tzset();
    std::tm tm{};
    if (localtime_r(&instant, &tm) == nullptr) {
        return std::nullopt;
    }
    return FromTm(tm);
}

std::optional<DateTime> UtcOfInstant(std::time_t instant)
{
    std::tm tm{};
    if (gmtime_r(&instant, &tm) == nullptr) {
        return std::nullopt;
    }
    return FromTm(tm);
}

// Reads `count` ASCII digits at pos; only 0-9 count (no signs, blanks or other digit forms).
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t count)
{
    if (pos + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// The instant a stored date text names, in seconds since 1970 UTC.
std::optional<std::time_t> StoredDateInstant(std::string_view text)
{
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2);
    const auto minute = Digits(text, 14, 2);
    if (!year || !month || !day || !hour || !minute || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != ' ') || text[13] != ':') {
        return std::nullopt;
    }
    std::size_t pos = 16;
    int second = 0;
    if (pos < text.size() && text[pos] == ':') {
        const auto seconds = Digits(text, pos + 1, 2);
        if (!seconds) {
            return std::nullopt;
        }
        second = *seconds;
        pos += 3;
        // A fraction may follow the seconds only; it is ignored, not rounded.
        if (pos < text.size() && text[pos] == '.') {
            const std::size_t first = ++pos;
            while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
                ++pos;
            }
            if (pos == first) {
                return std::nullopt;
            }
        }
    }
    long offset = 0;
    const std::string_view zone = text.substr(pos);
    if (zone == "Z") {
        offset = 0;
    } else if (!zone.empty()) {
        if ((zone[0] != '+' && zone[0] != '-') || (zone.size() != 6 && zone.size() != 5)) {
            return std::nullopt;
        }
        const bool colon = zone.size() == 6;
        if (colon && zone[3] != ':') {
            return std::nullopt;
        }
        const auto zoneHours = Digits(zone, 1, 2);
        const auto zoneMinutes = Digits(zone, colon ? 4 : 3, 2);
        if (!zoneHours || !zoneMinutes || *zoneHours > 23 || *zoneMinutes > 59) {
            return std::nullopt;
        }
        offset = (*zoneHours * 3600L + *zoneMinutes * 60L) * (zone[0] == '+' ? 1 : -1);
    }
    const DateTime stated{*year, *month, *day, *hour, *minute, second};
    if (!IsValidDateTime(stated)) {
        return std::nullopt;
    }
    std::tm tm = ToTm(stated);
    tm.tm_isdst = 0;
    return timegm(&tm) - offset;
}

std::string Format(const DateTime& value, const char* pattern)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, pattern, value.Year, value.Month, value.Day, value.Hour,
                  value.Minute, value.Second);
    return buffer;
}

} // namespace

bool IsValidDateTime(const DateTime& value)
{
    return value.Year >= kMinYear && value.Year <= kMaxYear && value.Month >= 1 && value.Month <= 12 &&
           value.Day >= 1 && value.Day <= DaysInMonth(value.Year, value.Month) && value.Hour >= 0 &&
           value.Hour <= 23 && value.Minute >= 0 && value.Minute <= 59 && value.Second >= 0 &&
           value.Second <= 59;
}

std::optional<DateTime> UtcToLocal(const DateTime& utc)
{
    if (!IsValidDateTime(utc)) {
        return std::nullopt;
    }
    std::tm tm = ToTm(utc);
    tm.tm_isdst = 0;
    return LocalOfInstant(timegm(&tm));
}

std::optional<DateTime> LocalToUtc(const DateTime& local)
{
    if (!IsValidDateTime(local)) {
        return std::nullopt;
    }
    // The daylight saving state is left to the zone rules of that date (-1), so a winter date
    // saved in summer is not shifted by the summer offset.
    std::tm tm = ToTm(local);
    tm.tm_wday = -1;
    const std::time_t instant = mktime(&tm);
    if (tm.tm_wday == -1) {
        return std::nullopt;
    }
    return UtcOfInstant(instant);
}

std::optional<DateTime> ParseStoredDate(std::string_view stored)
{
    const auto instant = StoredDateInstant(stored);
    return instant ? UtcOfInstant(*instant) : std::nullopt;
}

std::optional<std::string> StoredDateToLocalText(std::string_view stored)
{
    const auto instant = StoredDateInstant(stored);
    if (!instant) {
        return std::nullopt;
    }
    const auto local = LocalOfInstant(*instant);
    return local ? std::optional<std::string>(FormatLocalText(*local)) : std::nullopt;
}

std::optional<DateTime> ParseLocalText(std::string_view localText)
{
    if (!HasLocalDateForm(localText)) {
        return std::nullopt;
    }
    const auto year = Digits(localText, 0, 4);
    const auto month = Digits(localText, 5, 2);
    const auto day = Digits(localText, 8, 2);
    const auto hour = Digits(localText, 11, 2);
    const auto minute = Digits(localText, 14, 2);
    const auto second = Digits(localText, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    const DateTime value{*year, *month, *day, *hour, *minute, *second};
    return IsValidDateTime(value) ? std::optional<DateTime>(value) : std::nullopt;
}

std::optional<std::string> LocalTextToStoredDate(std::string_view localText)
{
    const auto local = ParseLocalText(localText);
    const auto utc = local ? LocalToUtc(*local) : std::nullopt;
    return utc ? std::optional<std::string>(FormatStoredDate(*utc)) : std::nullopt;
}

std::string FormatLocalText(const DateTime& value)
{
    return Format(value, "%04d-%02d-%02d %02d:%02d:%02d");
}

std::string FormatStoredDate(const DateTime& value)
{
    return Format(value, "%04d-%02d-%02dT%02d:%02d:%02dZ");
}

} // namespace engine
