#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Conversions between the date texts stored in packages (W3C date-time, UTC or with an offset)
// and the local "YYYY-MM-DD hh:mm:ss" texts the user sees and edits. Local time follows TZ with
// the zone rules in force on the converted date, not on the day of the conversion.
namespace engine {

// A calendar date and time of day, without a zone.
struct DateTime
{
    int Year = 1;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// True for years 1..9999, an existing day of that month, hh 0..23, mm and ss 0..59.
[[nodiscard]] bool IsValidDateTime(const DateTime& value);

// UTC -> local time of that instant; std::nullopt when the local time falls outside the years
// 0001..9999 or the system cannot convert it.
[[nodiscard]] std::optional<DateTime> UtcToLocal(const DateTime& utc);
// Local time -> UTC (mktime with the daylight saving state left to the zone rules of that date);
// std::nullopt for an invalid date-time, a local time the clocks skip (the hour lost when daylight
// saving time starts) or a result outside 0001..9999. A local time the clocks show twice (the hour
// repeated when it ends) gives the earlier of its two instants.
[[nodiscard]] std::optional<DateTime> LocalToUtc(const DateTime& local);
// True for a valid date-time that the local clocks skip.
[[nodiscard]] bool IsSkippedLocalTime(const DateTime& local);

// The instant named by a stored date text as UTC: YYYY-MM-DD, 'T' or a blank, hh:mm, optional
// :ss, optional .digits after the seconds (ignored), optional Z, +hh:mm, -hh:mm, +hhmm or -hhmm
// (no zone = UTC). Nothing may come before or after; std::nullopt for any other text.
[[nodiscard]] std::optional<DateTime> ParseStoredDate(std::string_view stored);
// A stored date text as local "YYYY-MM-DD hh:mm:ss"; std::nullopt when the text is to be kept as
// stored (not a full valid date-time, or a local time outside 0001..9999).
[[nodiscard]] std::optional<std::string> StoredDateToLocalText(std::string_view stored);

// Exactly 19 characters "dddd-dd-dd dd:dd:dd" ('-', one blank, ':'); says nothing about the values.
[[nodiscard]] bool HasLocalDateForm(std::string_view text);

// A local "YYYY-MM-DD hh:mm:ss" text (exactly that form, see HasLocalDateForm) as a date-time;
// std::nullopt when it is not a valid date-time.
[[nodiscard]] std::optional<DateTime> ParseLocalText(std::string_view localText);
// A local text as the stored form "YYYY-MM-DDThh:mm:ssZ" in UTC; std::nullopt when invalid.
[[nodiscard]] std::optional<std::string> LocalTextToStoredDate(std::string_view localText);

// The text a record holds for a date: the local form, or the instant "YYYY-MM-DDThh:mm:ssZ" where the
// local form cannot name it. A user may give a date as
//   - the local form "YYYY-MM-DD hh:mm:ss", or a bare date "YYYY-MM-DD" (midnight, local time);
//   - an instant in ISO 8601 with Z or an offset ("2024-01-02T10:00:00Z", "...+01:00"), or the local
//     form followed by an offset, as the window shows the repeated hour ("2024-10-27 02:30:00+01:00").
// An instant becomes its local form, except when the clocks show its local time twice (the hour
// repeated when daylight saving time ends): the local form would not say which of the two instants is
// meant, so the record keeps the instant and the save writes exactly it. std::nullopt for any other text, an
// invalid date, or a local time the clocks skip (see DateInputIsSkippedLocalTime).
[[nodiscard]] std::optional<std::string> DateInputToRecordText(std::string_view input);
// A stored date text as the record keeps it: its local form, or, when the clocks show that local time
// twice, the instant "YYYY-MM-DDThh:mm:ssZ" (see DateInputToRecordText), so that the record still names
// exactly the stored instant. std::nullopt when the text is to be kept as stored (as
// StoredDateToLocalText).
[[nodiscard]] std::optional<std::string> StoredDateToRecordText(std::string_view stored);
// True when input is the local form or a bare date naming a valid local time the clocks skip.
[[nodiscard]] bool DateInputIsSkippedLocalTime(std::string_view input);
// A record's date text (see DateInputToRecordText) as the stored form "YYYY-MM-DDThh:mm:ssZ";
// std::nullopt when it is neither the local form of an existing local time nor an instant in that
// stored form.
[[nodiscard]] std::optional<std::string> RecordDateToStoredDate(std::string_view recordText);

// A record's date text (see DateInputToRecordText) as ISO 8601 with the offset from UTC in force at
// that instant in the local zone, "YYYY-MM-DDThh:mm:ss+hh:mm": the form a table carries a date in, so
// that it names the same instant in whichever zone it is read. An instant in the repeated hour gets
// the offset of its side of the change. Where that offset is no whole number of minutes (local mean
// time before a zone kept standard time), the instant in UTC "YYYY-MM-DDThh:mm:ssZ". std::nullopt as
// for RecordDateToStoredDate.
[[nodiscard]] std::optional<std::string> RecordDateToOffsetDate(std::string_view recordText);
// True for a zone name of the system's zone database (TZDIR, else /usr/share/zoneinfo), such as
// "Europe/Berlin" or "UTC": a relative path there, without "." or ".." parts, to a zone file. A name
// that is none would be read as UTC by the C library, silently.
[[nodiscard]] bool IsKnownTimeZone(std::string_view name);

[[nodiscard]] std::string FormatLocalText(const DateTime& value);  // "YYYY-MM-DD hh:mm:ss"
[[nodiscard]] std::string FormatStoredDate(const DateTime& value); // "YYYY-MM-DDThh:mm:ssZ"

// The hour the clocks show twice. A local time in it names two instants; the window asks which
// one is meant and shows the chosen one as its local time with its offset.

// One of the two instants of a local time the clocks show twice.
struct RepeatedTimeInstant
{
    std::string RecordText;      // as a record holds it: "YYYY-MM-DDThh:mm:ssZ"
    std::string ShownText;       // as the window shows it: "YYYY-MM-DD hh:mm:ss+hh:mm"
    std::string Offset;          // "+02:00"
    bool DaylightSaving = false; // the zone's summer time is in force at that instant
};

// The two instants, the earlier first, of a date input in the local form "YYYY-MM-DD hh:mm:ss" or a
// bare date whose local time the clocks show twice (the hour repeated when daylight saving time
// ends); std::nullopt for any other text.
[[nodiscard]] std::optional<std::array<RepeatedTimeInstant, 2>>
RepeatedLocalTimeInstants(std::string_view input);

// A record's date text as the window shows it: an instant "YYYY-MM-DDThh:mm:ssZ" whose local time
// the clocks show twice becomes that local time with its offset ("2024-10-27 02:30:00+01:00"),
// which names the instant and reads back as it (ShownDateToRecordText); any other text stays as it is.
[[nodiscard]] std::string RecordDateToShownText(std::string_view recordText);

// A text in the shown form "YYYY-MM-DD hh:mm:ss+hh:mm" (or -hh:mm) as the record's text of that
// instant (see DateInputToRecordText, which takes this form too); std::nullopt for any other text.
[[nodiscard]] std::optional<std::string> ShownDateToRecordText(std::string_view shown);

} // namespace engine
