#pragma once

#include <cstdint>
#include <ctime>

// MS-DOS date-time values as stored in ZIP records: time in the low half, date in the high half,
// both meant as local time.
namespace archive {

// Clamps out-of-range parts (hour 25, month 0, ...) into range; a valid value comes back unchanged.
std::uint32_t CorrectDosDateTime(std::uint32_t dosDateTime);

// The corrected value as a point in time, reading it as local time (TZ honoured).
std::time_t DosDateTimeToTime(std::uint32_t dosDateTime);

// A point in time as a local DOS date-time; times before 1980 give 1980-01-01 00:00:00.
std::uint32_t TimeToDosDateTime(std::time_t time);

} // namespace archive
