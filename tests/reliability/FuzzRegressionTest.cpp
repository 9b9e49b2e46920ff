// Inputs that the fuzzers found to crash, hang or break an invariant, rebuilt from generators and
// checked the way the fuzzers check them. Work that once hung runs in a child under a watchdog.
#include "reliability/ChildProcess.h"

#include "archive/WildcardMatch.h"

#include <gtest/gtest.h>

#include <string>

namespace reliability {
namespace {

std::string Repeat(const std::string& unit, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += unit;
    }
    return out;
}

std::string Flag(bool value)
{
    return value ? "1" : "0";
}

// Each star retried every later position for every earlier star: exponential in the star count.
TEST(FuzzRegression, WildcardWithManyStarsDoesNotBacktrackExponentially)
{
    const ChildResult run = RunInChild(
        [] {
            const std::string pattern = Repeat("*a", 40) + "b";
            const std::string text = Repeat("a", 100);
            return Report{{"miss", Flag(archive::WildcardMatch(text, pattern))},
                          {"hit", Flag(archive::WildcardMatch(text + "B", pattern))},
                          {"classes", Flag(archive::WildcardMatch(text, Repeat("*<a-b>", 40) + "c"))}};
        },
        30);
    ASSERT_TRUE(run.exited) << "signal " << run.signal << (run.signal == SIGALRM ? " (hang)" : "");
    EXPECT_EQ(run.report.at("miss"), "0");
    EXPECT_EQ(run.report.at("hit"), "1");
    EXPECT_EQ(run.report.at("classes"), "0");
}

} // namespace
} // namespace reliability
