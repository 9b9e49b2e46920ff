#include "engine/record/DateConvert.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <utility>

namespace engine {

bool HasLocalDateForm(std::string_view text)
{
    static constexpr std::string_view kForm = "dddd-dd-dd dd:dd:dd";
    if (text.size() != kForm.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kForm.size(); ++i) {
        if (kForm[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != kForm[i]) {
            return false;
        }
    }
    return true;
}

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

// localtime_r alone keeps the zone it saw first, so the zone rules are read again (tzset) when TZ
// changes and otherwise at most once a second: reading them for every date would query the zone
// file's status each time, under the C library's zone lock that parallel loads share.
void RefreshZoneRules()
{
    thread_local bool refreshed = false;
    thread_local bool hadTz = false;
    thread_local std::string lastTz;
    thread_local std::chrono::steady_clock::time_point lastRefresh;
    const char* tz = std::getenv("TZ");
    const auto now = std::chrono::steady_clock::now();
    const bool sameTz = (tz != nullptr) == hadTz && (tz == nullptr || lastTz == tz);
    if (refreshed && sameTz && now - lastRefresh < std::chrono::seconds(1)) {
        return;
    }
    tzset();
    refreshed = true;
    hadTz = tz != nullptr;
    lastTz = tz != nullptr ? tz : "";
    lastRefresh = now;
}

// Seconds since 1970 UTC of a valid date and time read as UTC (no lock, unlike timegm).
std::time_t UtcSeconds(const DateTime& value)
{
    using namespace std::chrono;
    const sys_days date = year_month_day{year{value.Year}, month{static_cast<unsigned>(value.Month)},
                                         day{static_cast<unsigned>(value.Day)}};
    return static_cast<std::time_t>(date.time_since_epoch().count()) * 86400 + value.Hour * 3600L +
           value.Minute * 60L + value.Second;
}

// Local time of an instant with the zone rules in force at that instant.
std::optional<DateTime> LocalOfInstant(std::time_t instant)
{
    RefreshZoneRules();
    std::tm tm{};
    if (localtime_r(&instant, &tm) == nullptr) {
        return std::nullopt;
    }
    return FromTm(tm);
}

// The offset from UTC in force at an instant, in seconds.
std::optional<long> OffsetAt(std::time_t instant)
{
    std::tm tm{};
    if (localtime_r(&instant, &tm) == nullptr) {
        return std::nullopt;
    }
    return tm.tm_gmtoff;
}

// The other instant whose local time is that of instant, when the clocks show that time twice (the
// hour repeated when daylight saving time ends). Zone changes are found by the offsets a day before
// and after.
std::optional<std::time_t> OtherInstantOfSameLocalTime(std::time_t instant)
{
    RefreshZoneRules();
    const auto offset = OffsetAt(instant);
    const auto local = LocalOfInstant(instant);
    if (!offset || !local) {
        return std::nullopt;
    }
    for (const std::time_t near : {instant - 86400, instant + 86400}) {
        const auto other = OffsetAt(near);
        if (!other || *other == *offset) {
            continue;
        }
        const std::time_t candidate = instant + *offset - *other;
        if (LocalOfInstant(candidate) == local) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<DateTime> UtcOfInstant(std::time_t instant)
{
    using namespace std::chrono;
    const sys_seconds at{seconds{instant}};
    const sys_days date = floor<days>(at);
    const year_month_day ymd{date};
    const auto secondOfDay = (at - date).count();
    const DateTime value{static_cast<int>(ymd.year()),
                         static_cast<int>(static_cast<unsigned>(ymd.month())),
                         static_cast<int>(static_cast<unsigned>(ymd.day())),
                         static_cast<int>(secondOfDay / 3600),
                         static_cast<int>(secondOfDay / 60 % 60),
                         static_cast<int>(secondOfDay % 60)};
    if (!IsValidDateTime(value)) {
        return std::nullopt;
    }
    return value;
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

// The instant a stored date text names, in seconds since 1970 UTC; *hasZone tells whether the text
// gave Z or an offset.
std::optional<std::time_t> StoredDateInstant(std::string_view text, bool* hasZone = nullptr)
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
    if (hasZone != nullptr) {
        *hasZone = !zone.empty();
    }
    return UtcSeconds(stated) - offset;
}

// mktime of a local time; the instant, and the local time it normalised to (another one for a time
// the clocks skip).
std::optional<std::pair<std::time_t, DateTime>> LocalInstant(const DateTime& local)
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
    const DateTime normalised{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    return std::make_pair(instant, normalised);
}

// The local form of an instant, or the instant itself in the repeated hour, where the local form
// would not say which of the two instants is meant.
std::optional<std::string> RecordTextOfInstant(std::time_t instant)
{
    const auto utc = UtcOfInstant(instant);
    const auto local = LocalOfInstant(instant);
    if (!utc || !local) {
        return std::nullopt;
    }
    return OtherInstantOfSameLocalTime(instant) ? FormatStoredDate(*utc) : FormatLocalText(*local);
}

// The local form "YYYY-MM-DD hh:mm:ss", or a bare date "YYYY-MM-DD" read as midnight.
std::optional<DateTime> ParseLocalInput(std::string_view input)
{
    if (input.size() == 10) {
        return ParseLocalText(std::string(input) + " 00:00:00");
    }
    return ParseLocalText(input);
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
    return LocalOfInstant(UtcSeconds(utc));
}

std::optional<DateTime> LocalToUtc(const DateTime& local)
{
    if (!IsValidDateTime(local)) {
        return std::nullopt;
    }
    const auto instant = LocalInstant(local);
    if (!instant || instant->second != local) {
        return std::nullopt; // a local time the clocks skip normalises to another one
    }
    // mktime's choice between the two instants of a repeated local time depends on its earlier
    // calls; the earlier instant is taken, always.
    const auto other = OtherInstantOfSameLocalTime(instant->first);
    return UtcOfInstant(other ? std::min(*other, instant->first) : instant->first);
}

bool IsSkippedLocalTime(const DateTime& local)
{
    const auto instant = LocalInstant(local);
    return instant && instant->second != local;
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

std::optional<std::string> DateInputToRecordText(std::string_view input)
{
    if (auto shown = ShownDateToRecordText(input)) {
        return shown;
    }
    if (const auto local = ParseLocalInput(input)) {
        return LocalToUtc(*local) ? std::optional<std::string>(FormatLocalText(*local)) : std::nullopt;
    }
    bool hasZone = false;
    const auto instant = StoredDateInstant(input, &hasZone);
    if (!instant || !hasZone || input.size() < 19 || input[10] != 'T') {
        return std::nullopt;
    }
    return RecordTextOfInstant(*instant);
}

std::optional<std::string> StoredDateToRecordText(std::string_view stored)
{
    const auto instant = StoredDateInstant(stored);
    return instant ? RecordTextOfInstant(*instant) : std::nullopt;
}

bool DateInputIsSkippedLocalTime(std::string_view input)
{
    const auto local = ParseLocalInput(input);
    return local && IsSkippedLocalTime(*local);
}

std::optional<std::string> RecordDateToStoredDate(std::string_view recordText)
{
    if (HasLocalDateForm(recordText)) {
        return LocalTextToStoredDate(recordText);
    }
    // Exactly "YYYY-MM-DDThh:mm:ssZ", as DateInputToRecordText writes an instant.
    if (recordText.size() != 20 || recordText[10] != 'T' || recordText.back() != 'Z') {
        return std::nullopt;
    }
    const auto utc = ParseStoredDate(recordText);
    return utc ? std::optional<std::string>(FormatStoredDate(*utc)) : std::nullopt;
}

std::optional<std::string> RecordDateToOffsetDate(std::string_view recordText)
{
    const auto stored = RecordDateToStoredDate(recordText);
    const auto instant = stored ? StoredDateInstant(*stored) : std::nullopt;
    const auto local = instant ? LocalOfInstant(*instant) : std::nullopt;
    const auto offset = local ? OffsetAt(*instant) : std::nullopt;
    if (!offset) {
        return std::nullopt;
    }
    if (*offset % 60 != 0) {
        return stored; // "+hh:mm" cannot name it; Z names the same instant
    }
    const long minutes = *offset < 0 ? -*offset / 60 : *offset / 60;
    char zone[32];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", *offset < 0 ? '-' : '+', minutes / 60 % 100,
                  minutes % 60);
    return Format(*local, "%04d-%02d-%02dT%02d:%02d:%02d") + zone;
}

bool IsKnownTimeZone(std::string_view name)
{
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        const bool plain = std::all_of(part.begin(), part.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                   c == '-' || c == '+' || c == '.';
        });
        if (part.empty() || part == "." || part == ".." || !plain) {
            return false;
        }
        start = end + 1;
    }
    const char* folder = std::getenv("TZDIR");
    const std::string path =
        std::string(folder != nullptr && *folder != '\0' ? folder : "/usr/share/zoneinfo") + "/" +
        std::string(name);
    std::ifstream file(path, std::ios::binary);
    char magic[4] = {};
    return file.read(magic, sizeof magic) && std::string_view(magic, sizeof magic) == "TZif";
}

std::string FormatLocalText(const DateTime& value)
{
    return Format(value, "%04d-%02d-%02d %02d:%02d:%02d");
}

std::string FormatStoredDate(const DateTime& value)
{
    return Format(value, "%04d-%02d-%02dT%02d:%02d:%02dZ");
}

// The hour the clocks show twice.

namespace {

std::string OffsetText(long offset)
{
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60 % 100,
                  minutes % 60);
    return buffer;
}

std::optional<RepeatedTimeInstant> DescribeRepeatedInstant(std::time_t instant)
{
    RefreshZoneRules();
    std::tm tm{};
    const auto utc = UtcOfInstant(instant);
    if (localtime_r(&instant, &tm) == nullptr || !utc) {
        return std::nullopt;
    }
    const auto local = FromTm(tm);
    if (!local) {
        return std::nullopt;
    }
    const std::string offset = OffsetText(tm.tm_gmtoff);
    return RepeatedTimeInstant{FormatStoredDate(*utc), FormatLocalText(*local) + offset, offset,
                               tm.tm_isdst > 0};
}

} // namespace

std::optional<std::array<RepeatedTimeInstant, 2>> RepeatedLocalTimeInstants(std::string_view input)
{
    const auto local = ParseLocalInput(input);
    const auto instant = local ? LocalInstant(*local) : std::nullopt;
    if (!instant || instant->second != *local) {
        return std::nullopt;
    }
    const auto other = OtherInstantOfSameLocalTime(instant->first);
    if (!other) {
        return std::nullopt;
    }
    const auto earlier = DescribeRepeatedInstant(std::min(*other, instant->first));
    const auto later = DescribeRepeatedInstant(std::max(*other, instant->first));
    if (!earlier || !later) {
        return std::nullopt;
    }
    return std::array<RepeatedTimeInstant, 2>{*earlier, *later};
}

std::string RecordDateToShownText(std::string_view recordText)
{
    // Only the instant a record keeps for the repeated hour; local texts, the common case, pass at once.
    if (recordText.size() != 20 || recordText[10] != 'T' || recordText.back() != 'Z') {
        return std::string(recordText);
    }
    const auto instant = StoredDateInstant(recordText);
    if (!instant || !OtherInstantOfSameLocalTime(*instant)) {
        return std::string(recordText);
    }
    const auto shown = DescribeRepeatedInstant(*instant);
    return shown ? shown->ShownText : std::string(recordText);
}

std::optional<std::string> ShownDateToRecordText(std::string_view shown)
{
    if (shown.size() != 25 || !HasLocalDateForm(shown.substr(0, 19)) ||
        (shown[19] != '+' && shown[19] != '-')) {
        return std::nullopt;
    }
    const auto instant = StoredDateInstant(shown);
    return instant ? RecordTextOfInstant(*instant) : std::nullopt;
}

} // namespace engine
