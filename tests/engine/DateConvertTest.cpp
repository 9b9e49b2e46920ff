#include "engine/record/DateConvert.h"

#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace engine {
namespace {

struct StoredCase
{
    const char* zone;
    const char* stored;
    const char* local; // nullptr: kept as stored
};

class StoredDate : public testing::TestWithParam<StoredCase>
{
};

TEST_P(StoredDate, ConvertsToLocalTimeOfThatDateOrIsKept)
{
    ScopedTimeZone zone(GetParam().zone);
    const auto local = StoredDateToLocalText(GetParam().stored);
    if (GetParam().local == nullptr) {
        EXPECT_EQ(local, std::nullopt) << *local;
    } else {
        EXPECT_EQ(local, std::optional<std::string>(GetParam().local));
    }
}

INSTANTIATE_TEST_SUITE_P(Dates,
                         StoredDate,
                         testing::Values(
                             // The offset in force on that date, not on the day of the conversion.
                             StoredCase{"Europe/Berlin", "2013-01-15T12:00:00Z", "2013-01-15 13:00:00"},
                             StoredCase{"Europe/Berlin", "2013-07-15T12:00:00Z", "2013-07-15 14:00:00"},
                             StoredCase{"Europe/Berlin", "2021-10-31T01:59:59Z", "2021-10-31 02:59:59"},
                             StoredCase{"Europe/Berlin", "1601-01-01T00:00:00Z", "1601-01-01 00:53:28"},
                             StoredCase{"Europe/Berlin", "9999-12-31T23:59:59Z", nullptr},
                             StoredCase{"Europe/Berlin", "0001-01-01T00:30:00+01:00", "0001-01-01 00:23:28"},
                             StoredCase{"America/New_York", "0001-01-01T00:00:00Z", nullptr},
                             StoredCase{"America/New_York", "1883-11-18T16:59:59Z", "1883-11-18 12:03:57"},
                             // Offsets, fractions, missing seconds and zones.
                             StoredCase{"UTC", "2013-05-06T07:08:09+02:00", "2013-05-06 05:08:09"},
                             StoredCase{"Europe/Berlin", "2013-05-06T07:08:09-0530", "2013-05-06 14:38:09"},
                             StoredCase{"UTC", "2013-05-06T07:08:09.999Z", "2013-05-06 07:08:09"},
                             StoredCase{"UTC", "2013-05-06 07:08:09", "2013-05-06 07:08:09"},
                             StoredCase{"UTC", "2012-02-29T10:00Z", "2012-02-29 10:00:00"},
                             StoredCase{"UTC", "2013-05-06T23:30:00-01:00", "2013-05-07 00:30:00"},
                             StoredCase{"UTC", "2013-05-06T07:08:09+23:59", "2013-05-05 07:09:09"},
                             // Not a full, valid date-time: kept as stored.
                             StoredCase{"UTC", "2013-05-06", nullptr},
                             StoredCase{"UTC", "2013", nullptr},
                             StoredCase{"UTC", "garbage", nullptr},
                             StoredCase{"UTC", "", nullptr},
                             StoredCase{"UTC", "2013-13-01T00:00:00Z", nullptr},
                             StoredCase{"UTC", "2013-02-29T00:00:00Z", nullptr},
                             StoredCase{"UTC", "2013-04-31T00:00:00Z", nullptr},
                             StoredCase{"UTC", "0000-01-01T00:00:00Z", nullptr},
                             StoredCase{"UTC", "2013-05-06T24:00:00Z", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:60:00Z", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:60Z", nullptr},
                             StoredCase{"UTC", "2013-05-06t07:08:09Z", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09z", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09Z\n", nullptr},
                             StoredCase{"UTC", " 2013-05-06T07:08:09Z", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09.Z", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08.5Z", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09+24:00", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09+02:60", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09+2:00", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09+02", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09+02:000", nullptr},
                             StoredCase{"UTC", "2013-5-06T07:08:09Z", nullptr},
                             StoredCase{"UTC", "+013-05-06T07:08:09Z", nullptr},
                             StoredCase{"UTC", "2013-05-06T07:08:09ZZ", nullptr}));

struct LocalCase
{
    const char* zone;
    const char* local;
    const char* stored; // nullptr: not a valid local date-time
};

class LocalDate : public testing::TestWithParam<LocalCase>
{
};

TEST_P(LocalDate, ConvertsToUtcWithTheRulesOfThatDate)
{
    ScopedTimeZone zone(GetParam().zone);
    const auto stored = LocalTextToStoredDate(GetParam().local);
    if (GetParam().stored == nullptr) {
        EXPECT_EQ(stored, std::nullopt) << *stored;
    } else {
        EXPECT_EQ(stored, std::optional<std::string>(GetParam().stored));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dates,
    LocalDate,
    testing::Values(LocalCase{"Europe/Berlin", "2013-01-15 13:00:00", "2013-01-15T12:00:00Z"},
                    LocalCase{"Europe/Berlin", "2013-07-15 14:00:00", "2013-07-15T12:00:00Z"},
                    LocalCase{"Europe/Berlin", "1601-01-01 00:53:28", "1601-01-01T00:00:00Z"},
                    LocalCase{"Asia/Kolkata", "2013-05-06 12:38:09", "2013-05-06T07:08:09Z"},
                    LocalCase{"UTC", "9999-12-31 23:59:59", "9999-12-31T23:59:59Z"},
                    LocalCase{"UTC", "2013-05-06T07:08:09", nullptr},
                    LocalCase{"UTC", "2013/05/06 07.08.09", nullptr},
                    LocalCase{"Europe/Berlin", "0001-01-01 00:00:00", nullptr},
                    LocalCase{"UTC", "2013-02-30 00:00:00", nullptr},
                    LocalCase{"UTC", "2013-05-06 25:00:00", nullptr},
                    LocalCase{"UTC", "2013-05-06", nullptr},
                    LocalCase{"UTC", "2013-05-06 07:08:09Z", nullptr},
                    LocalCase{"UTC", "2013-05-06 07:08:0x", nullptr},
                    LocalCase{"UTC", "20130506 07:08:09 ", nullptr},
                    LocalCase{"UTC", "", nullptr},
                    // The clocks skip 02:00-03:00 on 31 March 2024 in Berlin and show 02:00-03:00
                    // twice on 27 October; the earlier instant of the two, whatever mktime guessed before.
                    LocalCase{"Europe/Berlin", "2024-03-31 02:30:00", nullptr},
                    LocalCase{"Europe/Berlin", "2024-03-31 03:00:00", "2024-03-31T01:00:00Z"},
                    LocalCase{"Europe/Berlin", "2024-10-27 02:30:00", "2024-10-27T00:30:00Z"},
                    LocalCase{"Europe/Berlin", "2024-10-27 03:00:00", "2024-10-27T02:00:00Z"}));

TEST(DateConvert, ARepeatedLocalTimeAlwaysGivesTheEarlierInstant)
{
    ScopedTimeZone zone("Europe/Berlin");
    // mktime guesses the daylight saving state from its previous call.
    for (const char* before : {"2024-07-01 12:00:00", "2024-12-01 12:00:00"}) {
        (void)LocalTextToStoredDate(before);
        EXPECT_EQ(LocalTextToStoredDate("2024-10-27 02:30:00"),
                  std::optional<std::string>("2024-10-27T00:30:00Z"))
            << before;
    }
}

struct InputCase
{
    const char* zone;
    const char* input;
    const char* record; // nullptr: refused
};

class DateInput : public testing::TestWithParam<InputCase>
{
};

// The forms a user gives become the record's text; an instant in the repeated hour stays an instant,
// and the record's text is saved as exactly that instant.
TEST_P(DateInput, BecomesTheRecordTextThatSavesThatInstant)
{
    ScopedTimeZone zone(GetParam().zone);
    const auto record = DateInputToRecordText(GetParam().input);
    if (GetParam().record == nullptr) {
        EXPECT_EQ(record, std::nullopt) << *record;
        return;
    }
    ASSERT_EQ(record, std::optional<std::string>(GetParam().record));
    const auto stored = RecordDateToStoredDate(*record);
    ASSERT_TRUE(stored);
    if (std::string_view(GetParam().input).size() > 19) { // an instant: exactly it
        EXPECT_EQ(ParseStoredDate(*stored), ParseStoredDate(GetParam().input));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dates,
    DateInput,
    testing::Values(InputCase{"Europe/Berlin", "2024-01-02T10:00:00Z", "2024-01-02 11:00:00"},
                    InputCase{"Europe/Berlin", "2024-10-27T00:30:00Z", "2024-10-27T00:30:00Z"},
                    InputCase{"Europe/Berlin", "2024-10-27T01:30:00Z", "2024-10-27T01:30:00Z"},
                    InputCase{"Europe/Berlin", "2024-10-27T02:00:00Z", "2024-10-27 03:00:00"},
                    InputCase{"Europe/Berlin", "2024-03-31T01:30:00Z", "2024-03-31 03:30:00"},
                    InputCase{"Europe/Berlin", "2024-03-31 02:30:00", nullptr},
                    InputCase{"UTC", "2024-01-02T10:00:00", nullptr},
                    InputCase{"UTC", "2024-01-02 10:00:00Z", nullptr},
                    InputCase{"UTC", "2024-02-30", nullptr},
                    InputCase{"UTC", "02.01.2024", nullptr}));

TEST(DateConvert, RecordTextsAreALocalTimeOrAnInstantInTheStoredForm)
{
    ScopedTimeZone zone("Europe/Berlin");
    EXPECT_EQ(RecordDateToStoredDate("2024-01-02 10:00:00"),
              std::optional<std::string>("2024-01-02T09:00:00Z"));
    EXPECT_EQ(RecordDateToStoredDate("2024-10-27T01:30:00Z"),
              std::optional<std::string>("2024-10-27T01:30:00Z"));
    EXPECT_EQ(RecordDateToStoredDate("2024-10-27T01:30:00+01:00"), std::nullopt);
    EXPECT_EQ(RecordDateToStoredDate("2024-10-27T01:30Z"), std::nullopt);
    EXPECT_EQ(RecordDateToStoredDate("2024-03-31 02:30:00"), std::nullopt);
    EXPECT_TRUE(DateInputIsSkippedLocalTime("2024-03-31 02:59:59"));
    EXPECT_FALSE(DateInputIsSkippedLocalTime("2024-10-27 02:30:00"));
    EXPECT_FALSE(DateInputIsSkippedLocalTime("2024-03-31"));
}

// A stored date, in any stored form, is read into the record as its local text, or as the instant
// itself in the hour the clocks show twice, so that the record still names the stored instant.
TEST(DateConvert, StoredDatesInTheRepeatedHourStayTheirInstant)
{
    ScopedTimeZone zone("Europe/Berlin");
    const std::pair<const char*, const char*> cases[] = {
        {"2024-10-27T01:30:00Z", "2024-10-27T01:30:00Z"},
        {"2024-10-27T00:30:00.5Z", "2024-10-27T00:30:00Z"},
        {"2024-10-27T02:30:00+01:00", "2024-10-27T01:30:00Z"},
        {"2024-10-27 01:30:00", "2024-10-27T01:30:00Z"}, // no zone: UTC
        {"2024-10-27T02:00:00Z", "2024-10-27 03:00:00"},
        {"2024-10-26T23:59:59Z", "2024-10-27 01:59:59"},
    };
    for (const auto& [stored, record] : cases) {
        EXPECT_EQ(StoredDateToRecordText(stored), std::optional<std::string>(record)) << stored;
        EXPECT_EQ(RecordDateToStoredDate(record), FormatStoredDate(*ParseStoredDate(stored))) << stored;
    }
    EXPECT_EQ(StoredDateToRecordText("2024-10-27"), std::nullopt);
}

TEST(DateConvert, LocalAndUtcAreInverseAcrossTheYear)
{
    ScopedTimeZone zone("Europe/Berlin");
    for (int month = 1; month <= 12; ++month) {
        const DateTime local{2013, month, 15, 12, 0, 0};
        const auto utc = LocalToUtc(local);
        ASSERT_TRUE(utc);
        EXPECT_EQ(utc->Hour, month >= 4 && month <= 10 ? 10 : 11) << month;
        EXPECT_EQ(UtcToLocal(*utc), local);
    }
    EXPECT_EQ(ParseStoredDate("2013-05-06T07:08:09+02:00"), (DateTime{2013, 5, 6, 5, 8, 9}));
}

// Dates at the ends of the range and across month, year and leap-day boundaries, by their offsets.
TEST(DateConvert, StoredDatesAreReadWithTheirOffsetsAtTheEndsOfTheRange)
{
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(ParseStoredDate("0001-01-01T00:00:00Z"), (DateTime{1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(ParseStoredDate("9999-12-31T23:59:59Z"), (DateTime{9999, 12, 31, 23, 59, 59}));
    EXPECT_EQ(ParseStoredDate("0001-01-01T00:30:00+01:00"), std::nullopt);
    EXPECT_EQ(ParseStoredDate("9999-12-31T23:30:00-01:00"), std::nullopt);
    EXPECT_EQ(ParseStoredDate("2000-02-29T23:30:00-01:00"), (DateTime{2000, 3, 1, 0, 30, 0}));
    EXPECT_EQ(ParseStoredDate("1900-02-28T23:00:00-02:00"), (DateTime{1900, 3, 1, 1, 0, 0}));
    EXPECT_EQ(ParseStoredDate("2024-03-01T00:15:00+00:30"), (DateTime{2024, 2, 29, 23, 45, 0}));
    EXPECT_EQ(ParseStoredDate("1969-12-31T23:59:59Z"), (DateTime{1969, 12, 31, 23, 59, 59}));
    EXPECT_EQ(StoredDateToLocalText("1970-01-01T00:00:00-00:01"),
              std::optional<std::string>("1970-01-01 00:01:00"));
}

// A new TZ counts from the next conversion, without anyone calling tzset.
TEST(DateConvert, FollowsAChangedTimeZoneAtOnce)
{
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(StoredDateToLocalText("2013-01-15T12:00:00Z"),
              std::optional<std::string>("2013-01-15 12:00:00"));
    setenv("TZ", "Asia/Kolkata", 1);
    EXPECT_EQ(StoredDateToLocalText("2013-01-15T12:00:00Z"),
              std::optional<std::string>("2013-01-15 17:30:00"));
    unsetenv("TZ");
    setenv("TZ", "UTC", 1);
    EXPECT_EQ(UtcToLocal(DateTime{2013, 1, 15, 12, 0, 0}), (DateTime{2013, 1, 15, 12, 0, 0}));
}

// The hour the clocks show twice: a typed local time in it names two instants, each offered with its
// offset; the chosen one is kept as the instant and shown as its local time with that offset,
// which reads back as the same instant.
TEST(DateConvert, ARepeatedLocalTimeOffersBothInstantsAndShowsTheChosenOneWithItsOffset)
{
    ScopedTimeZone zone("Europe/Berlin");
    const auto both = RepeatedLocalTimeInstants("2024-10-27 02:30:00");
    ASSERT_TRUE(both);
    EXPECT_EQ((*both)[0].RecordText, "2024-10-27T00:30:00Z");
    EXPECT_EQ((*both)[0].ShownText, "2024-10-27 02:30:00+02:00");
    EXPECT_EQ((*both)[0].Offset, "+02:00");
    EXPECT_TRUE((*both)[0].DaylightSaving);
    EXPECT_EQ((*both)[1].RecordText, "2024-10-27T01:30:00Z");
    EXPECT_EQ((*both)[1].ShownText, "2024-10-27 02:30:00+01:00");
    EXPECT_FALSE((*both)[1].DaylightSaving);
    for (const auto& instant : *both) {
        EXPECT_EQ(RecordDateToShownText(instant.RecordText), instant.ShownText);
        EXPECT_EQ(ShownDateToRecordText(instant.ShownText), std::optional<std::string>(instant.RecordText));
        EXPECT_EQ(DateInputToRecordText(instant.ShownText), std::optional<std::string>(instant.RecordText));
        EXPECT_EQ(RecordDateToStoredDate(instant.RecordText), std::optional<std::string>(instant.RecordText));
    }
    // Times once only, skipped ones and other texts are no choice, and are shown as they are.
    for (const char* once : {"2024-10-27 01:59:59", "2024-10-27 03:00:00", "2024-03-31 02:30:00",
                             "2024-10-27", "2024-10-27T02:30:00", "2024-10-27T00:30:00Z"}) {
        EXPECT_EQ(RepeatedLocalTimeInstants(once), std::nullopt) << once;
    }
    for (const char* text : {"2024-10-27 03:00:00", "2024-10-27T02:00:00Z", "draft", ""}) {
        EXPECT_EQ(RecordDateToShownText(text), text);
    }
    // The shown form of an instant outside the repeated hour reads as that instant's local time.
    EXPECT_EQ(DateInputToRecordText("2024-01-02 10:00:00+01:00"),
              std::optional<std::string>("2024-01-02 10:00:00"));
    EXPECT_EQ(ShownDateToRecordText("2024-01-02 10:00:00Z"), std::nullopt);
    EXPECT_EQ(ShownDateToRecordText("2024-01-02 10:00:00+0100"), std::nullopt);
    // Where the zone's clocks go back at midnight, a bare date is a repeated local time too.
    ScopedTimeZone havana("America/Havana");
    const auto midnight = RepeatedLocalTimeInstants("2024-11-03");
    ASSERT_TRUE(midnight);
    EXPECT_EQ((*midnight)[0].Offset, "-04:00");
    EXPECT_EQ((*midnight)[1].Offset, "-05:00");
}

} // namespace
} // namespace engine
