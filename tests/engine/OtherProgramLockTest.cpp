#include "engine/package/OtherProgramLock.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace engine {
namespace {

namespace fs = std::filesystem;
using testsupport::WriteFileBytes;

enum class Layout
{
    Word,       // name, zeros up to byte 54, the UTF-16 copy there; 162 bytes
    PowerPoint, // name, one zero, blanks up to byte 55, the UTF-16 copy there; 165 bytes
    Excel       // name, blanks up to byte 55, the UTF-16 copy there; 165 bytes
};

// An owner file as Office writes it: narrow is the name in the 8-bit code page, wide in UTF-16.
std::string OwnerFile(const std::string& narrow, const std::u16string& wide, Layout layout)
{
    std::string bytes(1, static_cast<char>(narrow.size()));
    bytes += narrow;
    if (layout == Layout::PowerPoint) {
        bytes += '\0';
    }
    bytes.resize(layout == Layout::Word ? 54 : 55, layout == Layout::Word ? '\0' : ' ');
    bytes += static_cast<char>(wide.size());
    bytes += '\0';
    for (const char16_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    bytes.resize(layout == Layout::Word ? 162 : 165, layout == Layout::Word ? '\0' : ' ');
    return bytes;
}

class OtherProgramLockTest : public ::testing::Test
{
protected:
    void SetUp() override { WriteFileBytes(m_dir / "deck.pptx", "PK"); }

    // The lock found beside the package called name, as "LOCKFILE by USER".
    std::string LockOf(const std::string& name) const
    {
        const auto lock = FindOtherProgramLock((m_dir / name).string());
        return lock ? lock->LockFile + " by " + lock->User : "none";
    }

    std::string WithLockFile(const std::string& lockName, const std::string& content) const
    {
        WriteFileBytes(m_dir / lockName, content);
        const std::string found = LockOf("deck.pptx");
        fs::remove(m_dir / lockName);
        return found;
    }

    testsupport::TempDir m_dir;
};

TEST_F(OtherProgramLockTest, LibreOfficeLockFileNamesTheUserOrStillCountsWhenDamaged)
{
    const std::string lock = ".~lock.deck.pptx#";
    const std::string rest = ",host,08.12.2026 10:15,file:///profiles/jdoe/libreoffice/4;";
    EXPECT_EQ(WithLockFile(lock, "Jane Doe,jdoe" + rest), lock + " by Jane Doe");
    EXPECT_EQ(WithLockFile(lock, ",jdoe" + rest), lock + " by jdoe"); // no full name entered
    EXPECT_EQ(WithLockFile(lock, "Doe\\, Jane \\\\ \\;,jdoe" + rest), lock + " by Doe, Jane \\ ;");
    EXPECT_EQ(WithLockFile(lock, "Zoë Ångström,z" + rest), lock + " by Zoë Ångström");
    // Damaged, empty or oversized files still mark the package, with no user.
    EXPECT_EQ(WithLockFile(lock, ""), lock + " by ");
    EXPECT_EQ(WithLockFile(lock, "Jane\x1b[2JDoe,jdoe" + rest), lock + " by ");
    EXPECT_EQ(WithLockFile(lock, "Jane Doe without an end"), lock + " by ");
    EXPECT_EQ(WithLockFile(lock, "Jane Doe,jdoe" + rest + std::string(100000, ' ')), lock + " by ");
    EXPECT_EQ(WithLockFile(lock, "Jane\\"), lock + " by ");
}

TEST_F(OtherProgramLockTest, OfficeOwnerFileNamesTheUserInEachLayout)
{
    const std::string owner = "~$deck.pptx";
    for (const Layout layout : {Layout::Word, Layout::PowerPoint, Layout::Excel}) {
        EXPECT_EQ(WithLockFile(owner, OwnerFile("Jane Doe", u"Jane Doe", layout)), owner + " by Jane Doe");
        // The code page is unknown; the UTF-16 copy tells the letters.
        EXPECT_EQ(WithLockFile(owner, OwnerFile("Jos\xE9", u"José", layout)), owner + " by José");
        EXPECT_EQ(WithLockFile(owner, OwnerFile("Jos\xE9", u"Jos\xD800", layout)), owner + " by ");
    }
    // Cut short after the narrow name: that name, when it is plain ASCII.
    EXPECT_EQ(WithLockFile(owner, OwnerFile("Jane Doe", u"Jane Doe", Layout::Excel).substr(0, 12)),
              owner + " by Jane Doe");
    EXPECT_EQ(WithLockFile(owner, OwnerFile("Jos\xE9", u"José", Layout::Excel).substr(0, 12)),
              owner + " by ");
    EXPECT_EQ(WithLockFile(owner, ""), owner + " by ");
    EXPECT_EQ(WithLockFile(owner, std::string(1, '\xC8') + std::string(300, 'x')), owner + " by ");
    EXPECT_EQ(WithLockFile(owner, OwnerFile("Ja\tne", u"Ja\tne", Layout::Word)), owner + " by ");

    const fs::path written = testsupport::RealCorpusDir() / "pgjs_owner_lockfile.pptx"; // by PowerPoint
    if (fs::exists(written)) {
        EXPECT_EQ(WithLockFile(owner, testsupport::ReadFileBytes(written)), owner + " by Brent Ely");
    }
}

TEST_F(OtherProgramLockTest, OwnerFileNamesLoseLeadingCharactersOnlyForLongStems)
{
    struct Case
    {
        std::string package, ownerFile, found;
    };

    for (const Case& c : {
             Case{"abcdefgh.docx", "~$cdefgh.docx", "~$cdefgh.docx by "},
             Case{"abcdefg.docx", "~$bcdefg.docx", "~$bcdefg.docx by "},
             Case{"Ünïcödes.docx", "~$ïcödes.docx", "~$ïcödes.docx by "}, // characters, not bytes
             Case{"abcdefgh.pptx", "~$abcdefgh.pptx", "~$abcdefgh.pptx by "},
             Case{"abcdef.pptx", "~$cdef.pptx", "none"},
             Case{"ab.pptx", "~$b.pptx", "none"}, // b.pptx's owner file
             Case{"a.pptx", "~$.pptx", "none"}, Case{"a.pptx", "~$pptx", "none"},
             Case{"deck.pptx", "~$other.pptx", "none"},
             Case{"deck.pptx", "~$Deck.pptx", "none"}, // names are matched exactly, as the file system does
             Case{"~$abcdefgh.pptx", "abcdefgh.pptx", "none"}, // it is its own name without two characters
         }) {
        WriteFileBytes(m_dir / c.package, "PK");
        WriteFileBytes(m_dir / c.ownerFile, OwnerFile("U", u"U", Layout::Word).substr(0, 1));
        EXPECT_EQ(LockOf(c.package), c.found) << c.package << " beside " << c.ownerFile;
        fs::remove(m_dir / c.ownerFile);
    }
}

TEST_F(OtherProgramLockTest, OnlyFilesCountAndTheyAreFoundBesideALinksTarget)
{
    fs::create_directory(m_dir / ".~lock.deck.pptx#");
    fs::create_directory(m_dir / "~$deck.pptx");
    EXPECT_EQ(LockOf("deck.pptx"), "none");

    fs::create_directory(m_dir / "links");
    fs::create_symlink(m_dir / "deck.pptx", m_dir / "links" / "talk.pptx");
    fs::remove(m_dir / "~$deck.pptx");
    WriteFileBytes(m_dir / "~$deck.pptx", OwnerFile("Jane", u"Jane", Layout::PowerPoint));
    EXPECT_EQ(LockOf("links/talk.pptx"), "~$deck.pptx by Jane");

    if (geteuid() != 0) { // root reads every file
        fs::permissions(m_dir / "~$deck.pptx", fs::perms::none);
        EXPECT_EQ(LockOf("deck.pptx"), "~$deck.pptx by ");
    }
}

TEST(OtherProgramLock, MessageNamesTheLockFileAndTheUserWhenKnown)
{
    EXPECT_EQ(OpenElsewhereMessage({"~$deck.pptx", "Jane Doe"}),
              "open in another program (lock file ~$deck.pptx, by Jane Doe): close it there, or save with "
              "--ignore-locks");
    EXPECT_EQ(OpenElsewhereMessage({".~lock.deck.pptx#", ""}),
              "open in another program (lock file .~lock.deck.pptx#): close it there, or save with "
              "--ignore-locks");
}

TEST(OtherProgramLock, MessagesOfALockAreToldFromOtherFailures)
{
    EXPECT_TRUE(IsOpenElsewhereMessage(OpenElsewhereMessage({"~$deck.pptx", "Jane"}, "save anyway")));
    EXPECT_TRUE(IsOpenElsewhereMessage(OpenElsewhereMessage({".~lock.deck.pptx#", ""})));
    EXPECT_FALSE(IsOpenElsewhereMessage("cannot write deck.pptx: permission denied"));
    EXPECT_FALSE(IsOpenElsewhereMessage("the file open in another program (lock file x) is damaged"));
    EXPECT_FALSE(IsOpenElsewhereMessage(""));
}

} // namespace
} // namespace engine
