// Every hostile package goes through a read of its thumbnail, a load and then a save, each in a child
// process: no crash, no hang, bounded memory, nothing written outside the scratch folder, a clear
// error in the record, and after a failed save the package byte for byte as it was.
#include "engine/package/LoadDocument.h"
#include "engine/package/ReadThumbnail.h"
#include "engine/package/SaveDocument.h"
#include "reliability/ChildProcess.h"
#include "reliability/SandboxChecks.h"
#include "support/HostilePackages.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace testsupport {

// Test names and failure messages show the case by its name, not as bytes.
void PrintTo(const HostileCase& hostile, std::ostream* os)
{
    *os << hostile.name;
}

} // namespace testsupport

namespace {

namespace fs = std::filesystem;
using reliability::ChildResult;
using reliability::Report;
using testsupport::HostileCase;

constexpr const char* kNewTitle = "Saved over a hostile package";

std::string Flag(bool value)
{
    return value ? "1" : "0";
}

struct Sandbox
{
    testsupport::TempDir root;
    fs::path folder = root / "docs/inner";
    fs::path scratch = root / "tmp";
    fs::path package = folder / "hostile.pptx";

    Sandbox()
    {
        fs::create_directories(folder);
        fs::create_directories(scratch);
    }
};

// Reads the thumbnail, loads, then edits Title and saves, reporting what happened at each step.
Report LoadAndSave(const Sandbox& box, const HostileCase& hostile)
{
    setenv("TMPDIR", box.scratch.c_str(), 1);
    Report report;
    const engine::Thumbnail thumbnail = engine::ReadThumbnail(box.package);
    report["thumbnail.ok"] = Flag(thumbnail.Ok());
    report["thumbnail.error"] = thumbnail.Error;
    report["thumbnail.bytes"] = std::to_string(thumbnail.Bytes.size());
    engine::DocumentRecord record = reliability::RecordFor(box.package);
    const engine::DocumentOutcome loaded = engine::LoadDocument(record);
    report["load.ok"] = Flag(loaded.ok);
    report["load.message"] = loaded.message;
    report["load.lastError"] = record.LastError;
    report["title"] = record.Value(0).substr(0, 200);
    std::size_t longest = 0;
    bool forbidden = false;
    std::vector<std::string> values(record.CoreValues.begin(), record.CoreValues.end());
    values.insert(values.end(), record.AppValues.begin(), record.AppValues.end());
    for (const engine::CustomProperty& item : record.Custom.Items) {
        values.push_back(item.Value);
    }
    for (const std::string& value : values) {
        longest = std::max(longest, value.size());
        forbidden = forbidden || (!hostile.forbiddenText.empty() &&
                                  value.find(hostile.forbiddenText) != std::string::npos);
    }
    report["longest"] = std::to_string(longest);
    report["forbidden"] = Flag(forbidden);
    report["scratch.afterLoad"] = std::to_string(reliability::EntryNames(box.scratch).size());

    reliability::Edit(record, 0, kNewTitle);
    if (hostile.editCustom) {
        engine::SetCustomProperty(record, testsupport::kCustomEditName, engine::CustomKind::Text,
                                  testsupport::kCustomEditValue);
    }
    const engine::DocumentOutcome saved = engine::SaveDocument(record);
    report["save.ok"] = Flag(saved.ok);
    report["save.message"] = saved.message;
    report["save.lastError"] = record.LastError;
    report["save.modified"] = Flag(record.Modified);
    report["scratch.afterSave"] = std::to_string(reliability::EntryNames(box.scratch).size());
    return report;
}

Report Reload(const Sandbox& box)
{
    setenv("TMPDIR", box.scratch.c_str(), 1);
    engine::DocumentRecord record = reliability::RecordFor(box.package);
    const engine::DocumentOutcome loaded = engine::LoadDocument(record);
    const engine::CustomProperty* custom =
        engine::FindCustomProperty(record.Custom, testsupport::kCustomEditName);
    return {{"ok", Flag(loaded.ok)},
            {"message", loaded.message},
            {"title", record.Value(0)},
            {"custom", custom != nullptr ? custom->Value : std::string()}};
}

long MemoryLimitKb()
{
    // Generous for the 50 MB part (text, DOM and record copies), far below an unbounded blow-up.
    return reliability::UnderAddressSanitizer() ? 3L << 20 : 1L << 20;
}

class HostilePackageTest : public ::testing::TestWithParam<HostileCase>
{
};

TEST_P(HostilePackageTest, FailsCleanlyAndLosesNothing)
{
    const HostileCase& hostile = GetParam();
    Sandbox box;
    const std::string original = hostile.build(box.root.Path());
    testsupport::WriteFileBytes(box.package, original);

    const ChildResult run = reliability::RunInChild([&] { return LoadAndSave(box, hostile); });
    ASSERT_TRUE(run.exited) << "killed by signal " << run.signal << (run.signal == SIGALRM ? " (hang)" : "");
    ASSERT_EQ(run.exitCode, 0) << run.error;
    const Report& r = run.report;
    EXPECT_LT(run.maxRssKb, MemoryLimitKb());

    EXPECT_LE(std::stoull(r.at("thumbnail.bytes")), engine::kMaxThumbnailBytes);
    EXPECT_EQ(r.at("thumbnail.ok") == "0", !r.at("thumbnail.error").empty());
    if (hostile.thumbnailMustFail) {
        EXPECT_EQ(r.at("thumbnail.ok"), "0") << "a hostile thumbnail was read";
    }
    if (hostile.loadMustFail) {
        EXPECT_EQ(r.at("load.ok"), "0") << "a broken package loaded without an error";
    }
    if (r.at("load.ok") == "0") {
        EXPECT_FALSE(r.at("load.lastError").empty());
        EXPECT_EQ(r.at("load.lastError"), r.at("load.message"));
    } else {
        const auto& allowed = hostile.allowedTitles;
        if (!allowed.empty()) {
            EXPECT_NE(std::find(allowed.begin(), allowed.end(), r.at("title")), allowed.end())
                << "Title read as \"" << r.at("title") << "\"";
        }
        EXPECT_LE(std::stoul(r.at("longest")), hostile.maxValueBytes);
        EXPECT_EQ(r.at("forbidden"), "0") << "a property holds text from outside the package";
    }
    EXPECT_EQ(r.at("scratch.afterLoad"), "0") << "scratch folder left after the load";
    EXPECT_EQ(r.at("scratch.afterSave"), "0") << "scratch folder left after the save";

    if (r.at("save.ok") == "0") {
        EXPECT_FALSE(r.at("save.lastError").empty());
        EXPECT_EQ(r.at("save.modified"), "1") << "a failed save cleared Modified";
        EXPECT_TRUE(testsupport::ReadFileBytes(box.package) == original)
            << "a failed save changed the package";
    } else {
        const ChildResult again = reliability::RunInChild([&] { return Reload(box); });
        ASSERT_TRUE(again.exited && again.exitCode == 0) << "reloading the saved package crashed";
        // Members the save does not touch are copied as they were, damage included: a package that
        // did not load may still not load, but the edited part must read back.
        if (r.at("load.ok") == "1") {
            EXPECT_EQ(again.report.at("ok"), "1") << again.report.at("message");
        }
        EXPECT_EQ(again.report.at("title"), kNewTitle)
            << "the save reported success but the edit is not there";
        if (hostile.editCustom) {
            EXPECT_EQ(again.report.at("custom"), testsupport::kCustomEditValue)
                << "the custom edit is not there";
        }
    }
    EXPECT_EQ(reliability::EntryNames(box.folder), std::vector<std::string>{"hostile.pptx"})
        << "files left beside the package";
    EXPECT_EQ(reliability::FindEscapedMarkers(box.root.Path(), testsupport::kEscapeMarker),
              std::vector<fs::path>{})
        << "a member was written outside the scratch folder";
}

INSTANTIATE_TEST_SUITE_P(Generated,
                         HostilePackageTest,
                         ::testing::ValuesIn(testsupport::HostilePackages()),
                         [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

} // namespace
