#include "engine/ScratchFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

namespace fs = std::filesystem;

TEST(ScratchFolder, EachIsNewAndRemovedWithReadOnlyContentOnEveryPath)
{
    fs::path kept;
    try {
        ScratchFolder first;
        ScratchFolder second;
        EXPECT_NE(first.Path(), second.Path());
        EXPECT_TRUE(fs::is_directory(first.Path()));
        kept = first.Path();
        testsupport::WriteFileBytes(first.Path() / "a" / "b" / ".hidden", "x");
        fs::permissions(first.Path() / "a" / "b" / ".hidden", fs::perms::owner_read);
        fs::permissions(first.Path() / "a" / "b", fs::perms::owner_read | fs::perms::owner_exec);
        throw std::runtime_error("failure in the middle of the work");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(ScratchFolder, DeleteFolderTreeRemovesLinksNotTheirTargets)
{
    testsupport::TempDir outside;
    testsupport::WriteFileBytes(outside / "keep.txt", "x");
    testsupport::TempDir dir;
    fs::create_directory_symlink(outside.Path(), dir / "link");
    DeleteFolderTree(dir.Path());
    EXPECT_FALSE(fs::exists(dir.Path()));
    EXPECT_TRUE(fs::exists(outside / "keep.txt"));
    EXPECT_THROW(DeleteFolderTree("/"), std::runtime_error);
}

} // namespace
} // namespace engine
