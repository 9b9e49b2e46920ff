#include "engine/package/ScratchFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

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

TEST(ScratchFolder, EmptyKeepsTheFolderAndRemovesEverythingInsideButNotWhatLinksReach)
{
    testsupport::TempDir outside;
    testsupport::WriteFileBytes(outside / "keep.txt", "x");
    ScratchFolder scratch;
    testsupport::WriteFileBytes(scratch.Path() / "docProps" / "core.xml", "x");
    testsupport::WriteFileBytes(scratch.Path() / "top.xml", "x");
    fs::permissions(scratch.Path() / "docProps", fs::perms::owner_read | fs::perms::owner_exec);
    fs::create_directory_symlink(outside.Path(), scratch.Path() / "link");
    scratch.Empty();
    EXPECT_FALSE(scratch.EmptyingFailed());
    EXPECT_TRUE(fs::is_directory(scratch.Path()));
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
    EXPECT_TRUE(fs::exists(outside / "keep.txt"));
}

// Sets an environment variable for one scope.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }

    ~ScopedEnv() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }

    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ScratchFolder, BaseIsTmpdirWhenSetElseOnlyAPrivateRuntimeFolder)
{
    testsupport::TempDir dir;
    const fs::path runtime = dir / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    {
        const ScopedEnv tmpdir("TMPDIR", dir.Path().c_str());
        const ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.c_str());
        EXPECT_EQ(ScratchBase(), dir.Path());
        const ScratchFolder scratch;
        EXPECT_EQ(scratch.Path().parent_path(), dir.Path());
    }
    const ScopedEnv tmpdir("TMPDIR", nullptr);
    const ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.c_str());
    EXPECT_EQ(ScratchBase(), runtime);
    fs::permissions(runtime,
                    fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                        fs::perms::others_exec,
                    fs::perm_options::add);
    EXPECT_NE(ScratchBase(), runtime) << "a runtime folder others can read is no place for scratch files";
}

// Files that may grow to gigabytes never go to a memory-backed folder: TMPDIR when it is set, else
// the system's temporary folder.
TEST(ScratchFolder, LargeFilesGoToTmpdirOrTheTemporaryFolderNeverToMemory)
{
    testsupport::TempDir dir;
    const fs::path runtime = dir / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    const ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.c_str());
    {
        const ScopedEnv tmpdir("TMPDIR", dir.Path().c_str());
        EXPECT_EQ(ScratchBase(ScratchSize::Large), dir.Path());
        const ScratchFolder scratch(ScratchSize::Large);
        EXPECT_EQ(scratch.Path().parent_path(), dir.Path());
    }
    const ScopedEnv tmpdir("TMPDIR", nullptr);
    EXPECT_EQ(ScratchBase(), runtime);
    EXPECT_EQ(ScratchBase(ScratchSize::Large), fs::temp_directory_path());
    const ScratchFolder scratch(ScratchSize::Large);
    EXPECT_EQ(scratch.Path().parent_path(), fs::temp_directory_path());
    EXPECT_TRUE(fs::is_directory(scratch.Path()));
}

} // namespace
} // namespace engine
