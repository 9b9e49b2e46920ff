// A save that has to create a property part registers it, and changes nothing else of the package,
// as the independent package comparison of the corpus judges it.
#include "engine/package/LoadDocument.h"
#include "engine/package/SaveDocument.h"
#include "support/CorpusParts.h"
#include "support/RealCorpus.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

class CreatedPartSave : public testing::TestWithParam<std::pair<const char*, std::size_t>>
{
};

TEST_P(CreatedPartSave, RegistersThePartAndKeepsEverythingElse)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    testsupport::TempDir dir;
    const auto original = testsupport::RealCorpusDir() / GetParam().first;
    const auto copy = dir / GetParam().first;
    std::filesystem::copy_file(original, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    DocumentRecord record;
    record.FullPath = copy.string();
    ASSERT_TRUE(LoadDocument(record).ok) << record.LastError;
    record.Value(GetParam().second) = "Added";
    record.SetChanged(GetParam().second, true);
    record.Modified = true;
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;

    int exitCode = -1;
    const std::string report = testsupport::RunCommand(
        "python3 " + testsupport::ShellQuote((testsupport::SharedDir() / "corpus" / "oracle.py").string()) +
            " --diff " + testsupport::ShellQuote(original.string()) + " " +
            testsupport::ShellQuote(copy.string()),
        &exitCode);
    EXPECT_EQ(exitCode, 0) << report;
    DocumentRecord reread;
    reread.FullPath = copy.string();
    ASSERT_TRUE(LoadDocument(reread).ok) << reread.LastError;
    EXPECT_EQ(reread.Value(GetParam().second), "Added");
}

INSTANTIATE_TEST_SUITE_P(Packages,
                         CreatedPartSave,
                         testing::Values(std::make_pair("pp_no_core_props.pptx", std::size_t{0}),
                                         std::make_pair("us_core_no_app.pptx", std::size_t{15}),
                                         std::make_pair("sc_google_slides.pptx", std::size_t{0})));

} // namespace
} // namespace engine
