#include "engine/package/OfficeExtensions.h"

#include "engine/adding/AddDocument.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace engine {
namespace {

TEST(OfficeExtensions, ListsAreBuiltFromKnownExtensionsOnly)
{
    EXPECT_EQ(ExtensionListOf("pptx"), "*.pptx;");
    EXPECT_EQ(ExtensionListOf("PPTX,.potx,*.ppsx,pptx"), "*.pptx;*.potx;*.ppsx;");
    const std::string office = ExtensionListOf("office");
    for (std::string_view extension : kOfficeExtensions) {
        EXPECT_NE(office.find("*." + std::string(extension) + ";"), std::string::npos) << extension;
    }
    for (const char* bad : {"", "ppt", "pptx,", "zip", "pptx;docx", "office2"}) {
        EXPECT_THROW((void)ExtensionListOf(bad), EUnknownExtension) << bad;
    }
}

TEST(OfficeExtensions, AFolderScanTakesOnlyTheExtensionsAskedFor)
{
    testsupport::TempDir dir;
    for (const char* name : {"a.pptx", "b.potx", "c.docx", "d.XLSM", "e.txt", "f.pptx.bak", "g.ppt"}) {
        std::ofstream(dir / name) << std::string(600, 'x');
    }
    const auto names = [&](const std::string& list) {
        std::vector<std::string> found;
        for (const std::string& path : ScanFolder(dir.Path().string(), kPackageFilterMode, list)) {
            found.push_back(path.substr(path.find_last_of('/') + 1));
        }
        return found;
    };
    EXPECT_EQ(names(kPackageExtensionList), (std::vector<std::string>{"a.pptx"}));
    EXPECT_EQ(names(ExtensionListOf("pptx,potx")), (std::vector<std::string>{"a.pptx", "b.potx"}));
    EXPECT_EQ(names(ExtensionListOf("office")),
              (std::vector<std::string>{"a.pptx", "b.potx", "c.docx", "d.XLSM"}));
}

} // namespace
} // namespace engine
