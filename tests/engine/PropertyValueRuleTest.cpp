// The one value rule for the texts the user can store.
#include "engine/record/PropertyValueRule.h"

#include "engine/record/DocumentRecord.h"

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

} // namespace
} // namespace engine
