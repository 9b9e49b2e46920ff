// What a replaced file keeps besides its content: its extended attributes (user.* attributes, ACLs,
// security labels), through a package update and a plain replacement alike.
#include "archive/AtomicReplace.h"

#include "archive/ArchiveErrors.h"
#include "archive/TArchiveReader.h"
#include "archive/UpdatePackage.h"
#include "support/ExtendedAttributes.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <grp.h>
#include <iostream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::AttributeMap;
using testsupport::AttributesOf;
using testsupport::ReadFileBytes;
using testsupport::SetAttribute;
using testsupport::TempDir;

// The user and group the tests run as when they run as root.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

mode_t ModeOf(const fs::path& path)
{
    struct stat st
    {
    };

    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Gives file the attributes a user's file may carry: a "downloaded from" mark, one holding NUL and
// high bytes, an empty one, an ACL granting another user access and, where the process may set one,
// a security label. Returns all the file has then.
AttributeMap GiveAttributes(const fs::path& file)
{
    EXPECT_EQ(SetAttribute(file, "user.xdg.origin.url", "https://example.org/deck.pptx"), 0);
    EXPECT_EQ(SetAttribute(file, "user.tags", std::string("a\0b\xff", 4)), 0);
    EXPECT_EQ(SetAttribute(file, "user.empty", ""), 0);
    const int acl = SetAttribute(file, "system.posix_acl_access", testsupport::AccessAcl(ModeOf(file), 4242));
    if (acl != 0) {
        std::cout << "ACLs not checked: " << std::strerror(acl) << '\n';
    }
    const int label = SetAttribute(file, "security.velmora", "label");
    if (label != 0) {
        std::cout << "security.* not checked: " << std::strerror(label) << '\n';
    }
    return AttributesOf(file);
}

std::string CoreOf(const fs::path& package)
{
    archive::TArchiveReader reader;
    reader.ZipName = package;
    reader.OpenDirectory();
    return reader.ExtractToMemory(*reader.FindMember("docProps/core.xml"), 1 << 10);
}

// Runs work in a child process, as nobody when the tests run as root; what it threw, or "".
std::string InChildProcess(const std::function<void()>& work, bool asNobody)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return "pipe failed";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        std::string thrown;
        if (asNobody && (setgroups(0, nullptr) != 0 || setresgid(kNogroup, kNogroup, kNogroup) != 0 ||
                         setresuid(kNobody, kNobody, kNobody) != 0)) {
            thrown = "cannot become nobody";
        } else {
            try {
                work();
            } catch (const std::exception& e) {
                thrown = e.what();
            }
        }
        [[maybe_unused]] const ssize_t written = write(pipeFds[1], thrown.data(), thrown.size());
        _exit(0);
    }
    close(pipeFds[1]);
    std::string thrown;
    char buffer[512];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        thrown.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return thrown;
}

class KeptAttributes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string missing = testsupport::UserAttributesMissing(m_dir.Path());
        if (!missing.empty()) {
            GTEST_SKIP() << missing;
        }
    }

    TempDir m_dir;
};

// A package update and a plain replacement give the new file every attribute byte for byte, and the
// mode whose group bits the ACL's mask sets; the content is the new one.
TEST_F(KeptAttributes, UpdateAndReplaceKeepEveryAttributeByteForByte)
{
    const fs::path package = m_dir / "deck.pptx";
    testsupport::PackageBuilder()
        .Add("docProps/core.xml", "<old/>")
        .Add("ppt/slide.xml", "<s/>")
        .WriteTo(package);
    fs::permissions(package, static_cast<fs::perms>(0640));
    const AttributeMap attributes = GiveAttributes(package);
    const mode_t mode = ModeOf(package);
    testsupport::WriteFileBytes(m_dir / "scratch" / "docProps" / "core.xml", "<new/>");
    archive::UpdatePackage(package, m_dir / "scratch");
    EXPECT_EQ(CoreOf(package), "<new/>");
    EXPECT_EQ(AttributesOf(package), attributes);
    EXPECT_EQ(ModeOf(package), mode);

    const fs::path text = m_dir / "export.txt";
    testsupport::WriteFileBytes(text, "old");
    const AttributeMap textAttributes = GiveAttributes(text);
    archive::ReplaceFileContent(text, "new");
    EXPECT_EQ(ReadFileBytes(text), "new");
    EXPECT_EQ(AttributesOf(text), textAttributes);
    archive::ReplaceFileContent(text, "newer"); // and again from the replaced file
    EXPECT_EQ(AttributesOf(text), textAttributes);

    // A file that had none gets none.
    const fs::path plain = m_dir / "plain.txt";
    testsupport::WriteFileBytes(plain, "old");
    const AttributeMap none = AttributesOf(plain);
    archive::ReplaceFileContent(plain, "new");
    EXPECT_EQ(AttributesOf(plain), none);
}

// A user.* attribute the process cannot read (the file is write-only for it) stops the replacement
// with the file and attribute named: the file keeps its content and attributes, nothing is left
// beside it.
TEST_F(KeptAttributes, AUserAttributeThatCannotBeKeptLeavesTheFileAsItIs)
{
    const bool root = geteuid() == 0;
    const fs::path text = m_dir / "export.txt";
    testsupport::WriteFileBytes(text, "old");
    ASSERT_EQ(SetAttribute(text, "user.xdg.origin.url", "https://example.org/export.txt"), 0);
    const AttributeMap attributes = AttributesOf(text);
    fs::permissions(text, static_cast<fs::perms>(0200));
    if (root) {
        ASSERT_EQ(chown(m_dir.Path().c_str(), kNobody, kNogroup), 0);
        ASSERT_EQ(chown(text.c_str(), kNobody, kNogroup), 0);
    }
    const std::string thrown = InChildProcess([&] { archive::ReplaceFileContent(text, "new"); }, root);
    EXPECT_EQ(thrown, std::string(archive::EArchiveIoError::kText) + ": " + text.string() +
                          ": cannot read its extended attribute user.xdg.origin.url: Permission denied");
    fs::permissions(text, static_cast<fs::perms>(0600));
    EXPECT_EQ(ReadFileBytes(text), "old");
    EXPECT_EQ(AttributesOf(text), attributes);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1);
}

// A file writable only through its group is replaced by one of the saving user's own, with the same
// mode, which gives the owner no write bit: the user.* attributes still reach it.
TEST_F(KeptAttributes, AFileWritableThroughItsGroupKeepsThem)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to save as another user";
    }
    const fs::path text = m_dir / "shared.txt";
    testsupport::WriteFileBytes(text, "old");
    ASSERT_EQ(chown(m_dir.Path().c_str(), kNobody, kNogroup), 0);
    ASSERT_EQ(chown(text.c_str(), 0, kNogroup), 0);
    fs::permissions(text, static_cast<fs::perms>(0060));
    ASSERT_EQ(SetAttribute(text, "user.xdg.origin.url", "https://example.org/shared.txt"), 0);
    const AttributeMap attributes = AttributesOf(text);
    EXPECT_EQ(InChildProcess([&] { archive::ReplaceFileContent(text, "new"); }, true), "");
    EXPECT_EQ(ReadFileBytes(text), "new");
    EXPECT_EQ(AttributesOf(text), attributes);
    EXPECT_EQ(ModeOf(text), 0060u);
}

} // namespace
