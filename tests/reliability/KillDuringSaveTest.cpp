// A save killed at a random moment must leave the package either as it was or as the finished
// save makes it, always a sound archive; the next successful save leaves nothing beside it.
#include "reliability/ChildProcess.h"
#include "reliability/SandboxChecks.h"
#include "reliability/SaveFaultFixture.h"
#include "support/SampleDecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

namespace reliability {
namespace {

// Two generated and two real packages, 50 kills each: 200 kills in a few seconds.
constexpr int kKillsPerPackage = 50;
constexpr const char* kPropertyDeck = "property_deck";
constexpr const char* kPlainDeck = "plain_deck";

class KillDuringSaveTest : public SaveFaultFixture, public ::testing::WithParamInterface<const char*>
{
protected:
    // How long one save takes in a child, fork included; the kill delays are spread over it.
    long SaveMicroseconds()
    {
        std::vector<long> runs;
        for (int i = 0; i < 3; ++i) {
            const auto start = std::chrono::steady_clock::now();
            RunAndKill([&] { SaveTitle("Calibration " + std::to_string(i)); }, -1);
            runs.push_back(static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                 std::chrono::steady_clock::now() - start)
                                                 .count()));
        }
        std::sort(runs.begin(), runs.end());
        return std::max(runs[1], 1000L);
    }
};

TEST_P(KillDuringSaveTest, PackageIsOldOrNewAfterEveryKill)
{
    const std::string name = GetParam();
    if (name == kPropertyDeck) {
        UseGeneratedPackage("deck.pptx", testsupport::PropertyDeck());
    } else if (name == kPlainDeck) {
        UseGeneratedPackage("deck.pptx", testsupport::PlainDeck());
    } else {
        UseRealPackage(name);
        if (IsSkipped()) {
            return;
        }
    }
    const long span = SaveMicroseconds() * 13 / 10;
    std::string current = testsupport::ReadFileBytes(m_package);
    std::string currentTitle = LoadTitle();
    ASSERT_EQ(currentTitle.rfind("Calibration", 0), 0u) << currentTitle;

    std::mt19937 random(20261207);
    int interrupted = 0;
    int becameNew = 0;
    for (int kill = 0; kill < kKillsPerPackage; ++kill) {
        const std::string title = "Kill " + std::to_string(kill);
        const long delay = std::uniform_int_distribution<long>(0, span)(random);
        const bool finished = RunAndKill([&] { SaveTitle(title); }, delay);
        interrupted += finished ? 0 : 1;

        const std::string now = testsupport::ReadFileBytes(m_package);
        if (now == current) {
            continue;
        }
        const std::string loaded = LoadTitle();
        ASSERT_EQ(loaded, title) << "after kill " << kill << " at " << delay
                                 << " us the package is neither the old nor the new one";
        current = now;
        currentTitle = loaded;
        ++becameNew;
    }
    RecordProperty("interrupted", interrupted);
    RecordProperty("completed_saves", becameNew);
    EXPECT_TRUE(PythonFindsZipSound(m_package));

    const engine::DocumentOutcome last = SaveTitle("After the kills");
    ASSERT_TRUE(last.ok) << last.message;
    EXPECT_EQ(LoadTitle(), "After the kills");
    EXPECT_TRUE(FolderHoldsOnlyPackage()) << "temporary files of killed saves left beside the package: "
                                          << ::testing::PrintToString(EntryNames(m_folder));
}

std::string ParamName(const ::testing::TestParamInfo<const char*>& info)
{
    const std::string name = info.param;
    return name.substr(0, name.find('.'));
}

INSTANTIATE_TEST_SUITE_P(GeneratedPackages,
                         KillDuringSaveTest,
                         ::testing::Values(kPropertyDeck, kPlainDeck),
                         ParamName);
// Real packages of unusual build: a byte order mark before the XML, entries for folders.
INSTANTIATE_TEST_SUITE_P(RealPackages,
                         KillDuringSaveTest,
                         ::testing::Values("oxs_strict_bom.pptx", "sc_dir_entries.pptx"),
                         ParamName);

} // namespace
} // namespace reliability
