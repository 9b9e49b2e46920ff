#include "archive/FileHelpers.h"
#include "archive/TDirSearch.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using testsupport::TempDir;
using testsupport::WriteFileBytes;
namespace fs = std::filesystem;

// Results relative to the start folder, in walk order.
std::vector<std::string>
Walk(const fs::path& folder, std::uint32_t mask, bool recurse, const std::string& pattern)
{
    archive::TDirSearch search(folder, mask, recurse, pattern);
    const std::string prefix = folder.string() + "/";
    std::vector<std::string> found;
    for (std::string path = search.NextFile(); !path.empty(); path = search.NextFile()) {
        EXPECT_EQ(path.rfind(prefix, 0), 0U) << path;
        found.push_back(path.substr(prefix.size()));
    }
    return found;
}

class DirSearchTest : public ::testing::Test
{
protected:
    void Make(const std::string& relative)
    {
        const fs::path path = m_dir / relative;
        if (relative.back() == '/') {
            fs::create_directories(path);
        } else {
            fs::create_directories(path.parent_path());
            WriteFileBytes(path, "x");
        }
    }

    TempDir m_dir;
};

TEST_F(DirSearchTest, WalksDepthFirstInNameOrder)
{
    for (const char* name : {"c.xml", "sub/b.xml", "a.xml", "sub/deeper/d.xml", "B.xml"}) {
        Make(name);
    }
    // Byte order: upper case before lower case, and a folder's contents right after the folder.
    EXPECT_EQ(Walk(m_dir.Path(), archive::faDefaultMask, true, "*"),
              (std::vector<std::string>{"B.xml", "a.xml", "c.xml", "sub/", "sub/b.xml", "sub/deeper/",
                                        "sub/deeper/d.xml"}));
    EXPECT_EQ(Walk(m_dir.Path(), archive::faDefaultMask, false, "*"),
              (std::vector<std::string>{"B.xml", "a.xml", "c.xml"}));
}

TEST_F(DirSearchTest, NameWithoutExtensionMatchesStarDotStar)
{
    Make("README");
    Make("notes.txt");
    EXPECT_EQ(Walk(m_dir.Path(), archive::faDefaultMask, false, "*"),
              (std::vector<std::string>{"README", "notes.txt"}));
    EXPECT_EQ(Walk(m_dir.Path(), archive::faDefaultMask, false, "*.*"),
              (std::vector<std::string>{"README", "notes.txt"}));
    EXPECT_EQ(Walk(m_dir.Path(), archive::faDefaultMask, false, "*.txt"),
              (std::vector<std::string>{"notes.txt"}));
}

TEST_F(DirSearchTest, DotEntriesAreHiddenUnlessAsked)
{
    Make("visible.xml");
    Make(".hidden.xml");
    Make(".git/config.xml");
    EXPECT_EQ(Walk(m_dir.Path(), archive::faDefaultMask, true, "*"),
              (std::vector<std::string>{"visible.xml"}));
    EXPECT_EQ(Walk(m_dir.Path(), archive::faDefaultMask | archive::faHidden, true, "*"),
              (std::vector<std::string>{".git/", ".git/config.xml", ".hidden.xml", "visible.xml"}));
}

TEST_F(DirSearchTest, LinkToAncestorIsNotEntered)
{
    Make("a/b/file.xml");
    fs::create_directory_symlink(m_dir.Path() / "a", m_dir.Path() / "a/b/loop");
    fs::create_directory_symlink(m_dir.Path() / "a/b", m_dir.Path() / "elsewhere");
    const std::vector<std::string> found = Walk(m_dir.Path(), archive::faDefaultMask, true, "*");
    // Each link is followed until it would lead back into a folder the walk is already inside.
    EXPECT_EQ(found, (std::vector<std::string>{"a/", "a/b/", "a/b/file.xml", "elsewhere/",
                                               "elsewhere/file.xml", "elsewhere/loop/"}));
}

TEST_F(DirSearchTest, MissingFolderEndsAtOnce)
{
    EXPECT_TRUE(Walk(m_dir.Path() / "absent", archive::faAnyFile, true, "*").empty());
}

TEST_F(DirSearchTest, ForceDirsCreatesEveryMissingLevel)
{
    const fs::path deep = m_dir.Path() / "one" / "two" / "three";
    EXPECT_FALSE(archive::DirExists(deep));
    archive::ForceDirs(deep);
    EXPECT_TRUE(archive::DirExists(deep));
    archive::ForceDirs(deep); // existing: nothing happens
    // A file in the way is not reported; the caller finds out when writing.
    Make("file");
    archive::ForceDirs(m_dir.Path() / "file" / "below");
    EXPECT_FALSE(archive::DirExists(m_dir.Path() / "file" / "below"));
    EXPECT_FALSE(archive::DirExists(m_dir.Path() / "file"));
}

TEST(StripTrailingBackslash, RemovesOneSeparator)
{
    EXPECT_EQ(archive::StripTrailingBackslash("a\\"), "a");
    EXPECT_EQ(archive::StripTrailingBackslash("a\\\\"), "a\\");
    EXPECT_EQ(archive::StripTrailingBackslash("/decks/x/"), "/decks/x");
    EXPECT_EQ(archive::StripTrailingBackslash("/"), "/");
    EXPECT_EQ(archive::StripTrailingBackslash(""), "");
    EXPECT_EQ(archive::StripTrailingBackslash("abc"), "abc");
}

} // namespace
