// The one value rule for the texts the user can store, and how a text is staged under it.
#include "engine/record/PropertyValueRule.h"

#include "ScopedTimeZone.h"
#include "engine/record/DocumentRecord.h"
#include "engine/record/StageValue.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

struct RuleCase
{
    std::size_t property;
    const char* text;
    bool valid;
};

class ValueRule : public testing::TestWithParam<RuleCase>
{
};

TEST_P(ValueRule, AcceptsExactlyTheEditableForms)
{
    const auto problem = PropertyValueProblem(GetParam().property, GetParam().text);
    EXPECT_EQ(!problem, GetParam().valid) << GetParam().text;
    if (problem) {
        EXPECT_EQ(problem->rfind(std::string(DisplayName(GetParam().property)) + ": \"", 0), 0U) << *problem;
    }
}

INSTANTIATE_TEST_SUITE_P(Values,
                         ValueRule,
                         testing::Values(RuleCase{8, "2013-05-06 07:08:09", true},
                                         RuleCase{7, "", true},
                                         RuleCase{9, "2013-05-06T07:08:09", false},
                                         RuleCase{9, "2013/05/06 07:08:09", false},
                                         RuleCase{9, "2013-05-06 07.08.09", false},
                                         RuleCase{9, "2013-05-06  7:08:09", false},
                                         RuleCase{9, "2013-02-29 07:08:09", false},
                                         RuleCase{9, "2013-05-06 24:00:00", false},
                                         RuleCase{9, "0001-01-01 00:00:00", true},
                                         RuleCase{6, "12", true},
                                         RuleCase{6, "", true},
                                         RuleCase{6, "12abc", false},
                                         RuleCase{14, "-5", false},
                                         RuleCase{14, "1.5", false},
                                         RuleCase{14, " 7", false},
                                         RuleCase{0, "12abc / 2013/05/06", true},
                                         RuleCase{15, "", true}));

// The rule the window's editors and Batch Modify apply, and the values given on the command line or
// in a table: a local time the clocks skip is refused by name; the hour shown twice is a valid time.
TEST(ValueRule, RefusesALocalTimeTheClocksSkip)
{
    ScopedTimeZone zone("Europe/Berlin");
    const auto skipped = PropertyValueProblem(8, "2024-03-31 02:30:00");
    ASSERT_TRUE(skipped);
    EXPECT_EQ(*skipped,
              "CreatedTime: \"2024-03-31 02:30:00\" does not exist in the local time zone: the clocks "
              "skip it when daylight saving time starts");
    EXPECT_FALSE(PropertyValueProblem(8, "2024-10-27 02:30:00"));
    EXPECT_FALSE(PropertyValueProblem(9, "2024-10-27T01:30:00Z")); // the record's form of that instant

    const PropertyInput given = PropertyValueFromInput(7, "2024-03-31 02:30:00");
    ASSERT_TRUE(given.Problem);
    EXPECT_EQ(*given.Problem, "LastPrinted" + skipped->substr(skipped->find(':')));
    EXPECT_EQ(PropertyValueFromInput(7, "2024-01-02").Value, "2024-01-02 00:00:00");
    EXPECT_TRUE(PropertyValueFromInput(7, "2024-01-02T10:00").Problem);
    EXPECT_EQ(PropertyValueFromInput(6, "2024-01-02").Problem, PropertyValueProblem(6, "2024-01-02"));
}

struct StageCase
{
    const char* name;
    StageRule rule;
    const char* text;
    bool staged;   // the call reports a change
    bool modified; // the record is Modified and the property flagged afterwards
};

class Staging : public testing::TestWithParam<StageCase>
{
};

TEST_P(Staging, FlagsOnlyWhatTheRuleAsksFor)
{
    DocumentRecord record;
    record.Value(0) = "Same";
    const StageCase& c = GetParam();
    EXPECT_EQ(StageValue(record, 0, c.text, c.rule), c.staged);
    EXPECT_EQ(record.Value(0), c.text);
    EXPECT_EQ(record.Changed(0), c.modified);
    EXPECT_EQ(record.Modified, c.modified);
    // Staging the same again changes nothing more, whatever the rule.
    EXPECT_FALSE(StageValue(record, 0, c.text, c.rule));
}

INSTANTIATE_TEST_SUITE_P(
    Rules,
    Staging,
    testing::Values(StageCase{"EqualRealOnly", StageRule::RealChangesOnly, "Same", false, false},
                    StageCase{"OtherCaseRealOnly", StageRule::RealChangesOnly, "same", true, true},
                    StageCase{"EqualFlagged", StageRule::FlagEvenIfEqual, "Same", true, true},
                    StageCase{"ClearFlagged", StageRule::FlagEvenIfEqual, "", true, true}),
    [](const testing::TestParamInfo<StageCase>& info) { return std::string(info.param.name); });

TEST(Staging, RefusesWhatTheValueRuleRefusesAndLeavesTheRecord)
{
    DocumentRecord record;
    record.Value(6) = "3";
    for (const StageRule rule : {StageRule::RealChangesOnly, StageRule::FlagEvenIfEqual}) {
        EXPECT_THROW(StageValue(record, 6, "3a", rule), EBadPropertyValue);
        EXPECT_THROW(StageValue(record, 9, "2013-02-29 07:08:09", rule), EBadPropertyValue);
    }
    EXPECT_EQ(record.Value(6), "3");
    EXPECT_FALSE(record.Changed(6));
    EXPECT_FALSE(record.Modified);
}

} // namespace
} // namespace engine
