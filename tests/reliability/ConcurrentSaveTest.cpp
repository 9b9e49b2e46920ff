// Two processes saving the same package at once (two windows, or the window and the command-line
// tool): the package must end as one of the saves reported as done, never mixed or broken, and a
// save that lost the race must say so.
#include "engine/package/SaveDocument.h"
#include "reliability/ChildProcess.h"
#include "reliability/SandboxChecks.h"
#include "reliability/SaveFaultFixture.h"
#include "support/SampleDecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace reliability {
namespace {

constexpr int kRounds = 15;

using ConcurrentSaveTest = SaveFaultFixture;

TEST_F(ConcurrentSaveTest, PackageEndsAsOneOfTheReportedSaves)
{
    UseGeneratedPackage("deck.pptx", testsupport::PlainDeck());
    for (int round = 0; round < kRounds; ++round) {
        const std::string before = testsupport::ReadFileBytes(m_package);
        const auto save = [&](const std::string& title) {
            return [this, title] {
                const engine::DocumentOutcome outcome = SaveTitle(title);
                return Report{{"ok", outcome.ok ? "1" : "0"}, {"message", outcome.message}};
            };
        };
        const std::string a = "A" + std::to_string(round);
        const std::string b = "B" + std::to_string(round);
        const std::vector<ChildResult> runs = RunInChildren({save(a), save(b)});
        std::vector<std::string> reported;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            ASSERT_TRUE(runs[i].exited && runs[i].exitCode == 0) << runs[i].signal << " " << runs[i].error;
            if (runs[i].report.at("ok") == "1") {
                reported.push_back(i == 0 ? a : b);
            } else {
                EXPECT_FALSE(runs[i].report.at("message").empty());
            }
        }
        const std::string now = LoadTitle();
        if (reported.empty()) {
            EXPECT_EQ(testsupport::ReadFileBytes(m_package), before) << "round " << round;
        } else {
            EXPECT_NE(std::find(reported.begin(), reported.end(), now), reported.end())
                << "round " << round << ": the package holds \"" << now << "\", not a save reported as done";
        }
        EXPECT_TRUE(FolderHoldsOnlyPackage()) << ::testing::PrintToString(EntryNames(m_folder));
    }
    EXPECT_TRUE(PythonFindsZipSound(m_package));
}

} // namespace
} // namespace reliability
