#include "ScopedTimeZone.h"
#include "engine/record/DateConvert.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

// The form a table carries a date in: the local time with the offset in force at that instant, read
// back as the same instant in any zone.
namespace engine {
namespace {

struct OffsetCase
{
    const char* zone;
    const char* record; // the record's text in that zone
    const char* offset; // nullptr: no date
};

class OffsetDate : public testing::TestWithParam<OffsetCase>
{
};

TEST_P(OffsetDate, NamesTheRecordsInstantInEveryZone)
{
    const OffsetCase& c = GetParam();
    std::optional<std::string> written;
    std::optional<std::string> stored;
    {
        ScopedTimeZone zone(c.zone);
        written = RecordDateToOffsetDate(c.record);
        stored = RecordDateToStoredDate(c.record);
    }
    if (c.offset == nullptr) {
        EXPECT_EQ(written, std::nullopt) << *written;
        return;
    }
    ASSERT_EQ(written, std::optional<std::string>(c.offset));
    // Read in another zone, the text is the same instant.
    for (const char* other : {"UTC", "America/New_York", "Asia/Kolkata", "Europe/Berlin"}) {
        ScopedTimeZone zone(other);
        const auto record = DateInputToRecordText(*written);
        ASSERT_TRUE(record) << other;
        EXPECT_EQ(RecordDateToStoredDate(*record), stored) << other;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Zones,
    OffsetDate,
    testing::Values(OffsetCase{"Europe/Berlin", "2024-05-06 07:08:09", "2024-05-06T07:08:09+02:00"},
                    OffsetCase{"Europe/Berlin", "2024-01-02 10:00:00", "2024-01-02T10:00:00+01:00"},
                    // The two instants of the repeated hour, each with the offset of its side.
                    OffsetCase{"Europe/Berlin", "2024-10-27T00:30:00Z", "2024-10-27T02:30:00+02:00"},
                    OffsetCase{"Europe/Berlin", "2024-10-27T01:30:00Z", "2024-10-27T02:30:00+01:00"},
                    OffsetCase{"UTC", "2024-05-06 07:08:09", "2024-05-06T07:08:09+00:00"},
                    OffsetCase{"America/New_York", "2024-01-02 10:00:00", "2024-01-02T10:00:00-05:00"},
                    OffsetCase{"America/St_Johns", "2024-07-02 10:00:00", "2024-07-02T10:00:00-02:30"},
                    OffsetCase{"Asia/Kolkata", "2024-07-02 10:00:00", "2024-07-02T10:00:00+05:30"},
                    // Local mean time before standard time (+00:53:28): no "+hh:mm" names it.
                    OffsetCase{"Europe/Berlin", "1850-01-01 12:00:00", "1850-01-01T11:06:32Z"},
                    OffsetCase{"Europe/Berlin", "2024-03-31 02:30:00", nullptr}, // skipped
                    OffsetCase{"UTC", "tomorrow", nullptr},
                    OffsetCase{"UTC", "2024-01-02T10:00:00+01:00", nullptr}));

TEST(TimeZoneNames, OnlyZonesOfTheDatabaseAreKnown)
{
    for (const char* known :
         {"UTC", "Europe/Berlin", "America/New_York", "America/Argentina/Buenos_Aires", "Etc/GMT+5"}) {
        EXPECT_TRUE(IsKnownTimeZone(known)) << known;
    }
    for (const char* unknown : {"", "Nowhere/Nope", "Europe", "Europe/", "/etc/localtime", "../zoneinfo/UTC",
                                "Europe/../UTC", "CET-1CEST", ":UTC", "zone1970.tab", "Europe/Berlin "}) {
        EXPECT_FALSE(IsKnownTimeZone(unknown)) << unknown;
    }
}

TEST(TimeZoneNames, FollowTzdir)
{
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "Lab");
    std::filesystem::copy_file("/usr/share/zoneinfo/Etc/UTC", dir / "Lab" / "Here");
    const char* old = std::getenv("TZDIR");
    const std::string kept = old != nullptr ? old : "";
    setenv("TZDIR", dir.Path().c_str(), 1);
    EXPECT_TRUE(IsKnownTimeZone("Lab/Here"));
    EXPECT_FALSE(IsKnownTimeZone("Europe/Berlin"));
    if (old != nullptr) {
        setenv("TZDIR", kept.c_str(), 1);
    } else {
        unsetenv("TZDIR");
    }
}

} // namespace
} // namespace engine
