// --set values are held to the engine's value rule.
#include "cli/PropertyAssignment.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

TEST(PropertyAssignment, ValuesFollowTheEngineRule)
{
    EXPECT_EQ(ParseSetArgument("createdtime=2013-05-06 07:08:09").Value, "2013-05-06 07:08:09");
    EXPECT_EQ(ParseSetArgument("Revision=").Value, "");
    for (const char* bad : {"CreatedTime=2013-05-06T07:08:09", "CreatedTime=2013-02-30 07:08:09",
                            "Revision=12abc", "TotalEditTime(second)=-1"}) {
        EXPECT_THROW((void)ParseSetArgument(bad), EBadAssignment) << bad;
    }
}

} // namespace
} // namespace cli
