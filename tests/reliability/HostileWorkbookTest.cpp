// Tables given to an import are untrusted like packages: each hostile workbook, read in a child
// process, must end in the import's own error, in bounded time and memory.
#include "engine/tables/ImportTable.h"
#include "reliability/ChildProcess.h"
#include "support/TempDir.h"
#include "support/Workbooks.h"

#include <gtest/gtest.h>

namespace reliability {
namespace {

class HostileWorkbookTest : public testing::TestWithParam<testsupport::HostileWorkbook>
{
};

TEST_P(HostileWorkbookTest, IsRefusedWithinBounds)
{
    testsupport::TempDir dir;
    const auto path = dir / "table.xlsx";
    testsupport::WriteFileBytes(path, GetParam().build());
    const ChildResult result = RunInChild(
        [&] {
            try {
                const engine::ImportTable table = engine::ReadImportFile(path);
                return Report{{"rows", std::to_string(table.Rows.size())}};
            } catch (const engine::EImportError& e) {
                return Report{{"error", e.what()}};
            }
        },
        60);
    ASSERT_TRUE(result.exited) << "signal " << result.signal << " " << result.error;
    const auto error = result.report.find("error");
    ASSERT_NE(error, result.report.end()) << "the workbook was read";
    EXPECT_NE(error->second.find(GetParam().reason), std::string::npos) << error->second;
    EXPECT_LT(result.maxRssKb, (UnderAddressSanitizer() ? 3L : 1L) << 20);
}

INSTANTIATE_TEST_SUITE_P(Generated,
                         HostileWorkbookTest,
                         testing::ValuesIn(testsupport::HostileWorkbooks()),
                         [](const testing::TestParamInfo<testsupport::HostileWorkbook>& info) {
                             return info.param.name;
                         });

} // namespace
} // namespace reliability
