// The one value rule, and the writers keeping it for changed values only.
#include "engine/PropertyValueRule.h"

#include "engine/WriteProperties.h"
#include "support/PackageBuilder.h"

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

DocumentRecord Changing(std::size_t p, const std::string& value)
{
    DocumentRecord record;
    record.Modified = true;
    record.Value(p) = value;
    record.SetChanged(p, true);
    return record;
}

TEST(ValueRule, WritersRefuseOnlyChangedValuesThatBreakIt)
{
    const std::string withRawRevision = testsupport::CoreXml("<cp:revision>12abc</cp:revision>");
    EXPECT_THROW((void)WriteCorePropertiesXml(Changing(6, "13abc"), withRawRevision), EPropertyWriteError);
    EXPECT_THROW((void)WriteAppPropertiesXml(Changing(14, "1.5"), testsupport::AppXml("")),
                 EPropertyWriteError);
    EXPECT_THROW((void)WriteCorePropertiesXml(Changing(8, "2013-05-06T07:08:09"), withRawRevision),
                 EPropertyWriteError);
    // A flagged value still equal to what the part holds is written back as it is.
    EXPECT_EQ(WriteCorePropertiesXml(Changing(6, "12abc"), withRawRevision), withRawRevision);
    EXPECT_NE(WriteCorePropertiesXml(Changing(6, "13"), withRawRevision).find(">13<"), std::string::npos);
}

} // namespace
} // namespace engine
