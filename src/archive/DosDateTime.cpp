#include "archive/DosDateTime.h"

#include <algorithm>

namespace archive {
namespace {

struct DosParts
{
    int Year;
    int Month;
    int Day;
    int Hour;
    int Minute;
    int Second;
};

DosParts Split(std::uint32_t v)
{
    const std::uint32_t time = v & 0xFFFF;
    const std::uint32_t date = v >> 16;
    return DosParts{static_cast<int>((date >> 9) & 0x7F) + 1980,
                    static_cast<int>((date >> 5) & 0x0F),
                    static_cast<int>(date & 0x1F),
                    static_cast<int>((time >> 11) & 0x1F),
                    static_cast<int>((time >> 5) & 0x3F),
                    static_cast<int>(time & 0x1F) * 2};
}

std::uint32_t Join(const DosParts& p)
{
    const std::uint32_t time = (static_cast<std::uint32_t>(p.Hour) << 11) |
                               (static_cast<std::uint32_t>(p.Minute) << 5) |
                               static_cast<std::uint32_t>(p.Second / 2);
    const std::uint32_t date = (static_cast<std::uint32_t>(p.Year - 1980) << 9) |
                               (static_cast<std::uint32_t>(p.Month) << 5) | static_cast<std::uint32_t>(p.Day);
    return (date << 16) | time;
}

bool Clamp(int& value, int low, int high)
{
    const int clamped = std::clamp(value, low, high);
    const bool changed = clamped != value;
    value = clamped;
    return changed;
}

} // namespace

std::uint32_t CorrectDosDateTime(std::uint32_t dosDateTime)
{
    DosParts p = Split(dosDateTime);
    bool changed = false;
    changed |= Clamp(p.Hour, 0, 23);
    changed |= Clamp(p.Minute, 0, 59);
    changed |= Clamp(p.Second, 0, 59);
    changed |= Clamp(p.Year, 1980, 2099);
    changed |= Clamp(p.Month, 1, 12);
    changed |= Clamp(p.Day, 1, 31);
    return changed ? Join(p) : dosDateTime;
}

std::time_t DosDateTimeToTime(std::uint32_t dosDateTime)
{
    const DosParts p = Split(CorrectDosDateTime(dosDateTime));
    std::tm tm{};
    tm.tm_year = p.Year - 1900;
    tm.tm_mon = p.Month - 1;
    tm.tm_mday = p.Day;
    tm.tm_hour = p.Hour;
    tm.tm_min = p.Minute;
    tm.tm_sec = p.Second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::uint32_t TimeToDosDateTime(std::time_t time)
{
    std::tm tm{};
    if (localtime_r(&time, &tm) == nullptr || tm.tm_year < 80) {
        return Join(DosParts{1980, 1, 1, 0, 0, 0});
    }
    if (tm.tm_year > 2099 - 1900) {
        return Join(DosParts{2099, 12, 31, 23, 59, 58});
    }
    return Join(DosParts{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                         std::min(tm.tm_sec, 59)});
}

} // namespace archive
