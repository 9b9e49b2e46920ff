// The review, journal and privacy options of set, and the history and undo commands.
#include "CliRunner.h"
#include "support/ExtendedAttributes.h"
#include "support/OfficePackages.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <sstream>
#include <sys/stat.h>

namespace cli {
namespace {

namespace fs = std::filesystem;
using clitest::CliRun;
using clitest::Quoted;
using clitest::RunCli;
using testsupport::ReadFileBytes;
using testsupport::TempDir;

// Member names in order with a digest of their uncompressed bytes, as an independent reader sees them.
std::string Members(const fs::path& package)
{
    return testsupport::RunCommand(
        "python3 -c 'import sys, zipfile, hashlib\n"
        "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
        "    print(i.filename, hashlib.sha256(zipfile.ZipFile(sys.argv[1]).read(i)).hexdigest())' " +
        Quoted(package.string()));
}

std::pair<long, long> Mtime(const fs::path& path)
{
    struct stat st
    {
    };

    stat(path.c_str(), &st);
    return {st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

class JournalCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A deck with every property set, and one with a core part only (a save creates its app part).
        testsupport::PropertyDeck().WriteTo(m_dir / "my_deck1_props.pptx");
        testsupport::CoreOnlyDeck().WriteTo(m_dir / "my_core_no_app.pptx");
    }

    CliRun Run(const std::vector<std::string>& arguments) const
    {
        return RunCli(m_dir.Path(), arguments, "UTC", "XDG_STATE_HOME=" + Quoted((m_dir / "state").string()));
    }

    TempDir m_dir;
};

TEST_F(JournalCommands, DryRunListsEachChangeExactlyAndWritesNothing)
{
    const std::string original = ReadFileBytes(m_dir / "my_deck1_props.pptx");
    const CliRun dry =
        Run({"set", "--dry-run", "--set", "Title=a \"b\"\\c", "--set", "Company=", "my_deck1_props.pptx"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(
        dry.out,
        "my_deck1_props.pptx: Title: \"Quarterly review – Q3 “draft” & notes\" -> \"a \\\"b\\\"\\\\c\"\n"
        "my_deck1_props.pptx: Company: \"Ærøskøbing Fähre GmbH\" -> \"\"\n");
    const CliRun json = Run({"set", "--dry-run", "--json", "--clear", "Manager", "my_deck1_props.pptx"});
    // FullPath as show --json gives it: absolute.
    EXPECT_EQ(json.out, "[\n  {\"FullPath\": \"" +
                            (fs::canonical(m_dir.Path()) / "my_deck1_props.pptx").string() +
                            "\", \"Property\": \"Manager\", \"Old\": \"Grace Hopper\", \"New\": \"\"}\n]\n");
    const CliRun custom = Run({"set", "--dry-run", "--custom", "Stage:int=3", "my_deck1_props.pptx"});
    EXPECT_EQ(custom.out, "my_deck1_props.pptx: Stage (custom): \"\" -> \"3\"\n") << custom.err;
    EXPECT_EQ(ReadFileBytes(m_dir / "my_deck1_props.pptx"), original);
    EXPECT_FALSE(fs::exists(m_dir / "state"));
    EXPECT_EQ(Run({"set", "--json", "--jsonl", "--clear", "Manager", "my_deck1_props.pptx"}).status, 2);

    // Without --dry-run, --json and --jsonl give the results: one object a package, failures too. A
    // package that cannot be read fails even when the change leaves nothing to write (clearing a
    // property it cannot be seen to have): it is never reported saved.
    testsupport::WriteFileBytes(m_dir / "bad.pptx", "not a package");
    const CliRun saved = Run({"set", "--jsonl", "--clear", "Manager", "my_deck1_props.pptx", "bad.pptx"});
    EXPECT_EQ(saved.status, 1);
    const std::string deck = (fs::canonical(m_dir.Path()) / "my_deck1_props.pptx").string();
    const std::string bad = (fs::canonical(m_dir.Path()) / "bad.pptx").string();
    EXPECT_EQ(saved.out, "{\"FullPath\": \"" + deck +
                             "\", \"Outcome\": \"saved\", \"Message\": null, \"Changes\": [{\"Property\": "
                             "\"Manager\", \"Old\": \"Grace Hopper\", \"New\": \"\"}]}\n"
                             "{\"FullPath\": \"" + bad +
                             "\", \"Outcome\": \"failed\", \"Message\": \"Not a valid zip file!\", \"Changes\": []}\n");
    const CliRun undone = Run({"undo", "--json", "my_deck1_props.pptx"});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(undone.out.rfind("[\n  {\"FullPath\": \"" + deck + "\", \"Outcome\": \"restored\", ", 0), 0U)
        << undone.out;
    EXPECT_NE(Run({"show", "--csv", "my_deck1_props.pptx"}).out.find("Grace Hopper"), std::string::npos);
}

TEST_F(JournalCommands, SetHistoryUndo)
{
    const std::string before = Members(m_dir / "my_core_no_app.pptx");
    const CliRun set = Run(
        {"set", "--set", "Manager=Boss", "--set", "Title=T", "my_deck1_props.pptx", "my_core_no_app.pptx"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(fs::status(m_dir / "state" / "velmora" / "journal").permissions(), fs::perms::owner_all);

    const CliRun history = Run({"history"});
    EXPECT_NE(history.out.find("  2 packages  Title,Manager\n"), std::string::npos) << history.out;
    const CliRun one = Run({"history", "my_core_no_app.pptx"});
    EXPECT_NE(one.out.find((fs::canonical(m_dir.Path()) / "my_core_no_app.pptx").string()),
              std::string::npos);

    const CliRun undo = Run({"undo", "my_core_no_app.pptx"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(Members(m_dir / "my_core_no_app.pptx"), before); // the created app part is gone again
    const CliRun again = Run({"undo", "my_core_no_app.pptx", "my_deck1_props.pptx"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("velmora-cli: my_core_no_app.pptx: nothing to undo\n"), std::string::npos) << again.err;
    EXPECT_NE(again.out.find("my_deck1_props.pptx: restored"), std::string::npos);
}

// Three runs undone one after the other, each back to the bytes and time before it; a fourth undo
// finds nothing and leaves the package as it is.
TEST_F(JournalCommands, UndoStepsBackRunByRun)
{
    const fs::path deck = m_dir / "my_deck1_props.pptx";
    std::vector<std::string> states{ReadFileBytes(deck)};
    std::vector<std::pair<long, long>> times{Mtime(deck)};
    for (const char* title : {"Title=one", "Title=two", "Title=three"}) {
        ASSERT_EQ(Run({"set", "--set", title, "my_deck1_props.pptx"}).status, 0);
        states.push_back(ReadFileBytes(deck));
        times.push_back(Mtime(deck));
    }
    for (int step = 2; step >= 0; --step) {
        SCOPED_TRACE(step);
        const CliRun undo = Run({"undo", "my_deck1_props.pptx"});
        ASSERT_EQ(undo.status, 0) << undo.err;
        const TempDir expected;
        testsupport::WriteFileBytes(expected / "x.pptx", states[static_cast<std::size_t>(step)]);
        EXPECT_EQ(Members(deck), Members(expected / "x.pptx"));
        EXPECT_EQ(Mtime(deck), times[static_cast<std::size_t>(step)]);
    }
    const std::string restored = ReadFileBytes(deck);
    const CliRun fourth = Run({"undo", "my_deck1_props.pptx"});
    EXPECT_EQ(fourth.status, 1);
    EXPECT_EQ(fourth.err, "velmora-cli: my_deck1_props.pptx: nothing to undo\nvelmora-cli: 0 restored, 1 failed\n");
    EXPECT_EQ(ReadFileBytes(deck), restored);
}

// A package named by several names is saved once, journaled once and undone once.
TEST_F(JournalCommands, OnePackageByManyNamesIsSavedAndUndoneOnce)
{
    const fs::path deck = m_dir / "my_deck1_props.pptx";
    const std::string before = Members(deck);
    fs::create_symlink(deck, m_dir / "link.pptx");
    const CliRun set = Run({"set", "--set", "Title=Once", "my_deck1_props.pptx", "./my_deck1_props.pptx",
                            "link.pptx", ".", "--ext", "pptx"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "my_deck1_props.pptx: saved\n./my_core_no_app.pptx: saved\n");
    const CliRun history = Run({"history"});
    EXPECT_NE(history.out.find("  2 packages  Title\n"), std::string::npos) << history.out;
    const CliRun undo = Run({"undo", "link.pptx", "my_deck1_props.pptx"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(undo.out, "link.pptx: " + undo.out.substr(undo.out.find(' ') + 1));
    EXPECT_EQ(std::count(undo.out.begin(), undo.out.end(), '\n'), 1);
    EXPECT_EQ(Members(deck), before);
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.pptx"));
}

// A folder stands for its journaled packages; --run alone for every package of that run.
TEST_F(JournalCommands, UndoOfAFolderAndOfARun)
{
    const std::string deck = Members(m_dir / "my_deck1_props.pptx");
    const std::string core = Members(m_dir / "my_core_no_app.pptx");
    ASSERT_EQ(Run({"set", "--set", "Title=x", "my_deck1_props.pptx", "my_core_no_app.pptx"}).status, 0);
    const CliRun undo = Run({"undo", "."});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(Members(m_dir / "my_deck1_props.pptx"), deck);
    EXPECT_EQ(Members(m_dir / "my_core_no_app.pptx"), core);
    EXPECT_EQ(Run({"undo", "."}).status, 1) << "nothing is left to undo below the folder";

    ASSERT_EQ(Run({"set", "--set", "Subject=y", "my_deck1_props.pptx", "my_core_no_app.pptx"}).status, 0);
    std::istringstream history(Run({"history"}).out);
    std::string id;
    for (std::string line; std::getline(history, line);) {
        if (!line.empty() && line[0] != ' ') {
            id = line.substr(0, line.find(' ')); // runs are listed oldest first
        }
    }
    const CliRun run = Run({"undo", "--run", id});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Members(m_dir / "my_deck1_props.pptx"), deck);
    EXPECT_EQ(Members(m_dir / "my_core_no_app.pptx"), core);
}

// history marks a run whose saved packages were all undone, or some of them, and a folder lists the
// runs that saved packages below it, each such package named, as undo finds them.
TEST_F(JournalCommands, HistoryMarksUndoneRunsAndTakesAFolder)
{
    fs::create_directory(m_dir / "sub");
    fs::copy_file(m_dir / "my_deck1_props.pptx", m_dir / "sub" / "inner.pptx");
    // A sibling whose name begins with the folder's is not below it.
    fs::create_directory(m_dir / "subway");
    fs::copy_file(m_dir / "my_core_no_app.pptx", m_dir / "subway" / "other.pptx");
    ASSERT_EQ(
        Run({"set", "--set", "Title=a", "my_deck1_props.pptx", "sub/inner.pptx", "subway/other.pptx"}).status,
        0);
    ASSERT_EQ(Run({"set", "--set", "Subject=b", "my_core_no_app.pptx"}).status, 0);
    const std::string inner = (fs::canonical(m_dir.Path()) / "sub" / "inner.pptx").string();

    const CliRun all = Run({"history"});
    EXPECT_NE(all.out.find("  3 packages  Title\n"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("  1 package  Subject\n"), std::string::npos) << all.out;

    const CliRun sub = Run({"history", "sub"});
    EXPECT_EQ(sub.status, 0) << sub.err;
    EXPECT_NE(sub.out.find("  3 packages  Title\n    " + inner + "\n"), std::string::npos) << sub.out;
    EXPECT_EQ(sub.out.find("Subject"), std::string::npos) << "that run saved nothing below sub";
    EXPECT_EQ(sub.out.find("other.pptx"), std::string::npos) << sub.out;
    EXPECT_EQ(std::count(sub.out.begin(), sub.out.end(), '\n'), 2) << sub.out;
    const CliRun here = Run({"history", "."});
    EXPECT_NE(here.out.find("  1 package  Subject\n"), std::string::npos) << here.out;
    EXPECT_NE(here.out.find(inner + "\n"), std::string::npos) << here.out;

    ASSERT_EQ(Run({"undo", "sub"}).status, 0);
    const CliRun partly = Run({"history", "sub"});
    EXPECT_NE(partly.out.find("  3 packages  Title  partly undone\n    " + inner + "  undone\n"),
              std::string::npos)
        << partly.out;
    EXPECT_NE(Run({"history"}).out.find("  1 package  Subject\n"), std::string::npos) << "not undone";

    ASSERT_EQ(Run({"undo", "my_deck1_props.pptx", "subway"}).status, 0);
    const CliRun whole = Run({"history"});
    EXPECT_NE(whole.out.find("  3 packages  Title  undone\n"), std::string::npos) << whole.out;
    EXPECT_EQ(whole.out.find("partly"), std::string::npos) << whole.out;
    // A folder below which nothing was saved lists nothing.
    fs::create_directory(m_dir / "empty");
    EXPECT_EQ(Run({"history", "empty"}).out, "");
}

// history --purge takes a folder as history and undo do: the entries of the packages below it go (a
// run left without any goes with them), those of a sibling whose name begins with the folder's and
// of the folder's parent stay, and the packages themselves are not touched.
TEST_F(JournalCommands, PurgeOfAFolderDeletesTheEntriesBelowItOnly)
{
    fs::create_directories(m_dir / "sub" / "deeper");
    fs::copy_file(m_dir / "my_deck1_props.pptx", m_dir / "sub" / "inner.pptx");
    fs::copy_file(m_dir / "my_deck1_props.pptx", m_dir / "sub" / "deeper" / "deep.pptx");
    fs::create_directory(m_dir / "subway");
    fs::copy_file(m_dir / "my_core_no_app.pptx", m_dir / "subway" / "other.pptx");
    ASSERT_EQ(
        Run({"set", "--set", "Title=a", "my_deck1_props.pptx", "sub/inner.pptx", "subway/other.pptx"}).status,
        0);
    ASSERT_EQ(Run({"set", "--set", "Subject=b", "sub/deeper/deep.pptx"}).status, 0);
    const fs::path journal = m_dir / "state" / "velmora" / "journal";
    const auto runFolders = [&] {
        return std::distance(fs::directory_iterator(journal), fs::directory_iterator());
    };
    ASSERT_EQ(runFolders(), 2);
    std::vector<std::string> packages;
    for (const char* name :
         {"my_deck1_props.pptx", "sub/inner.pptx", "sub/deeper/deep.pptx", "subway/other.pptx"}) {
        packages.push_back(ReadFileBytes(m_dir / name));
    }

    const CliRun purge = Run({"history", "--purge", "sub"});
    EXPECT_EQ(purge.status, 0) << purge.err;
    EXPECT_EQ(purge.out, "deleted 2 entries from " + journal.string() + "\n");
    EXPECT_EQ(runFolders(), 1) << "the run of sub/deeper/deep.pptx alone goes with its entry";
    EXPECT_EQ(Run({"history", "sub"}).out, "");
    const CliRun rest = Run({"history", "."});
    EXPECT_NE(rest.out.find("  2 packages  Title\n"), std::string::npos) << rest.out;
    EXPECT_NE(rest.out.find("subway/other.pptx\n"), std::string::npos) << rest.out;
    EXPECT_NE(rest.out.find("my_deck1_props.pptx\n"), std::string::npos) << rest.out;
    EXPECT_EQ(Run({"undo", "sub"}).status, 1) << "nothing is left to undo below sub";
    std::size_t i = 0;
    for (const char* name :
         {"my_deck1_props.pptx", "sub/inner.pptx", "sub/deeper/deep.pptx", "subway/other.pptx"}) {
        EXPECT_EQ(ReadFileBytes(m_dir / name), packages[i++]) << name;
    }
    EXPECT_EQ(Run({"undo", "my_deck1_props.pptx", "subway"}).status, 0);
    EXPECT_EQ(Run({"history", "--purge", "empty-name"}).out,
              "deleted 0 entries from " + journal.string() + "\n");
    EXPECT_EQ(runFolders(), 1);
}

// A package another program has open is left as it is, with the lock file and its holder named,
// for set and undo alike, until the locks are ignored.
TEST_F(JournalCommands, PackagesOpenElsewhereAreLeftUntilLocksAreIgnored)
{
    const fs::path deck = m_dir / "my_deck1_props.pptx";
    const std::string original = ReadFileBytes(deck);
    const fs::path office = m_dir / ".~lock.my_deck1_props.pptx#";
    testsupport::WriteFileBytes(office, "Ann Example,ann,host,01.12.2026 10:00,file:///home/ann/.config;");
    const CliRun refused = Run({"set", "--set", "Title=x", "my_deck1_props.pptx", "my_core_no_app.pptx"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "velmora-cli: my_deck1_props.pptx: open in another program (lock file .~lock.my_deck1_props.pptx#, "
              "by Ann Example): close it there, or save with --ignore-locks\n"
              "velmora-cli: 1 saved, 0 unchanged, 1 failed\n");
    EXPECT_EQ(refused.out, "my_core_no_app.pptx: saved\n");
    EXPECT_EQ(ReadFileBytes(deck), original);

    fs::remove(office);
    const fs::path owner = m_dir / "~$_deck1_props.pptx"; // the name without its first two characters
    testsupport::WriteFileBytes(owner, std::string("\x03") + "Bob" + std::string(158, '\0'));
    const CliRun ownerFile = Run({"set", "--set", "Title=x", "my_deck1_props.pptx"});
    EXPECT_EQ(ownerFile.status, 1);
    EXPECT_NE(ownerFile.err.find("(lock file ~$_deck1_props.pptx, by Bob)"), std::string::npos)
        << ownerFile.err;
    EXPECT_EQ(ReadFileBytes(deck), original);

    const CliRun forced = Run({"set", "--ignore-locks", "--set", "Title=x", "my_deck1_props.pptx"});
    ASSERT_EQ(forced.status, 0) << forced.err;
    const std::string saved = ReadFileBytes(deck);
    const CliRun undo = Run({"undo", "my_deck1_props.pptx"});
    EXPECT_EQ(undo.status, 1);
    EXPECT_NE(undo.err.find("close it there, or restore with --ignore-locks"), std::string::npos) << undo.err;
    EXPECT_EQ(ReadFileBytes(deck), saved);
    EXPECT_EQ(Run({"undo", "--ignore-locks", "my_deck1_props.pptx"}).status, 0);
    testsupport::PropertyDeck().WriteTo(m_dir / "fresh.pptx");
    EXPECT_EQ(Members(deck), Members(m_dir / "fresh.pptx"));
}

// A dry run says what the save would say about a signed package, before anything is written.
TEST_F(JournalCommands, DryRunWarnsOfASignature)
{
    testsupport::OfficePackage("pptx", testsupport::CoreXml("<dc:title>Signed</dc:title>"), "", "", true)
        .WriteTo(m_dir / "signed.pptx");
    const std::string original = ReadFileBytes(m_dir / "signed.pptx");
    const CliRun dry = Run({"set", "--dry-run", "--set", "Title=x", "signed.pptx", "my_deck1_props.pptx"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.err, "velmora-cli: signed.pptx: the package is digitally signed; its signature may no longer verify\n");
    EXPECT_NE(dry.out.find("signed.pptx: Title: "), std::string::npos);
    testsupport::WriteFileBytes(m_dir / "t.csv",
                                "FullPath,Title\n" + (m_dir / "signed.pptx").string() + ",New\n");
    const CliRun import = Run({"import", "--dry-run", "t.csv"});
    EXPECT_EQ(import.status, 0) << import.err;
    EXPECT_NE(import.err.find("signed.pptx: the package is digitally signed"), std::string::npos)
        << import.err;
    EXPECT_EQ(ReadFileBytes(m_dir / "signed.pptx"), original);
}

// A save and its undo keep each package's extended attributes byte for byte: user.* attributes, an
// ACL and (where the test may set one) a security label, while the content changes and comes back.
TEST_F(JournalCommands, SetAndUndoKeepExtendedAttributes)
{
    const std::string missing = testsupport::UserAttributesMissing(m_dir.Path());
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const std::vector<std::string> names{"my_deck1_props.pptx", "my_core_no_app.pptx"};
    std::vector<testsupport::AttributeMap> attributes;
    std::vector<std::string> members;
    for (const std::string& name : names) {
        const fs::path package = m_dir / name;
        fs::permissions(package, static_cast<fs::perms>(0640));
        ASSERT_EQ(testsupport::SetAttribute(package, "user.xdg.origin.url", "https://example.org/" + name),
                  0);
        ASSERT_EQ(testsupport::SetAttribute(package, "user.tags", std::string("x\0\xfe", 3)), 0);
        EXPECT_EQ(
            testsupport::SetAttribute(package, "system.posix_acl_access", testsupport::AccessAcl(0640, 4242)),
            0);
        if (const int label = testsupport::SetAttribute(package, "security.velmora", "label"); label != 0) {
            std::cout << "security.* not checked: " << std::strerror(label) << '\n';
        }
        attributes.push_back(testsupport::AttributesOf(package));
        members.push_back(Members(package));
    }
    const CliRun set = Run({"set", "--set", "Title=Kept", names[0], names[1]});
    ASSERT_EQ(set.status, 0) << set.err;
    const CliRun show = Run({"show", "--json", names[0], names[1]});
    const std::string kept = "\"Title\": \"Kept\"";
    const std::size_t first = show.out.find(kept);
    EXPECT_TRUE(first != std::string::npos && show.out.find(kept, first + 1) != std::string::npos)
        << show.out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_NE(Members(m_dir / names[i]), members[i]) << names[i];
        EXPECT_EQ(testsupport::AttributesOf(m_dir / names[i]), attributes[i]) << names[i];
    }
    const CliRun undo = Run({"undo", names[0], names[1]});
    ASSERT_EQ(undo.status, 0) << undo.err;
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(Members(m_dir / names[i]), members[i]) << names[i];
        EXPECT_EQ(testsupport::AttributesOf(m_dir / names[i]), attributes[i]) << names[i];
    }
}

TEST_F(JournalCommands, NoJournalAndPurge)
{
    ASSERT_EQ(Run({"set", "--no-journal", "--set", "Title=x", "my_deck1_props.pptx"}).status, 0);
    EXPECT_EQ(Run({"history"}).out, "");
    EXPECT_EQ(Run({"undo", "my_deck1_props.pptx"}).status, 1);

    ASSERT_EQ(Run({"set", "--set", "Title=y", "my_deck1_props.pptx", "my_core_no_app.pptx"}).status, 0);
    EXPECT_EQ(Run({"history", "--purge", "my_deck1_props.pptx"}).out.rfind("deleted 1 entries", 0), 0u);
    EXPECT_EQ(Run({"undo", "my_deck1_props.pptx"}).status, 1);
    EXPECT_EQ(Run({"history", "--purge"}).status, 0);
    EXPECT_EQ(Run({"history"}).out, "");
    EXPECT_EQ(Run({"undo", "my_core_no_app.pptx"}).status, 1);
}

TEST_F(JournalCommands, UnwritableJournalStopsTheSaveAndNamesBoth)
{
    testsupport::WriteFileBytes(m_dir / "state", "a file where the folder belongs");
    const std::string original = ReadFileBytes(m_dir / "my_deck1_props.pptx");
    const CliRun set = Run({"set", "--set", "Title=x", "my_deck1_props.pptx"});
    EXPECT_EQ(set.status, 1);
    EXPECT_NE(set.err.find("my_deck1_props.pptx: not saved: cannot write the save journal " +
                           (m_dir / "state" / "velmora" / "journal").string()),
              std::string::npos)
        << set.err;
    EXPECT_EQ(ReadFileBytes(m_dir / "my_deck1_props.pptx"), original);
}

TEST_F(JournalCommands, KeepMtimeForSetAndUndo)
{
    const fs::path package = m_dir / "my_deck1_props.pptx";
    const auto before = Mtime(package);
    ASSERT_EQ(Run({"set", "--keep-mtime", "--set", "Title=x", "my_deck1_props.pptx"}).status, 0);
    EXPECT_EQ(Mtime(package), before);
    ASSERT_EQ(Run({"undo", "--keep-mtime", "my_deck1_props.pptx"}).status, 0);
    EXPECT_EQ(Mtime(package), before);
}

TEST_F(JournalCommands, ImportIsJournaledAndKeepsTimesOnRequest)
{
    const fs::path package = m_dir / "my_deck1_props.pptx";
    const std::string before = Members(package);
    const auto mtime = Mtime(package);
    testsupport::WriteFileBytes(m_dir / "table.csv", "FullPath,Title\nmy_deck1_props.pptx,Imported\n");
    const CliRun import = Run({"import", "--keep-mtime", "table.csv"});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_EQ(import.out, "my_deck1_props.pptx: saved\n");
    EXPECT_EQ(Mtime(package), mtime);
    EXPECT_NE(Run({"history"}).out.find("  1 package  Title\n"), std::string::npos);
    ASSERT_EQ(Run({"undo", "my_deck1_props.pptx"}).status, 0);
    EXPECT_EQ(Members(package), before);

    ASSERT_EQ(Run({"history", "--purge"}).status, 0);
    ASSERT_EQ(Run({"import", "--no-journal", "table.csv"}).status, 0);
    EXPECT_EQ(Run({"history"}).out, "");
}

// --set NAME= removes the element, as --clear does, rather than leaving it empty; the help says so.
TEST_F(JournalCommands, EmptySetRemovesTheElement)
{
    const fs::path deck = m_dir / "my_deck1_props.pptx";
    const auto part = [&](const char* member) {
        return testsupport::RunCommand("unzip -p " + Quoted(deck.string()) + " " + member);
    };
    ASSERT_NE(part("docProps/core.xml").find("<dc:title>"), std::string::npos);
    ASSERT_NE(part("docProps/app.xml").find("<Company>"), std::string::npos);
    const CliRun set = Run({"set", "--set", "Title=", "--set", "Company=", "my_deck1_props.pptx"});
    ASSERT_EQ(set.status, 0) << set.err;
    const std::string core = part("docProps/core.xml");
    EXPECT_EQ(core.find("dc:title"), std::string::npos) << core;
    EXPECT_NE(core.find("<dc:subject>"), std::string::npos) << "only the named element goes";
    EXPECT_EQ(part("docProps/app.xml").find("Company"), std::string::npos);

    const CliRun help = Run({"set", "--help"});
    EXPECT_NE(help.out.find("an empty VALUE removes the property"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("TotalEditTime(second) holds minutes"), std::string::npos) << help.out;
}

TEST_F(JournalCommands, ClearPersonalRemovesExactlySixElements)
{
    const CliRun help = Run({"set", "--help"});
    EXPECT_NE(help.out.find("history --purge"), std::string::npos);
    const CliRun before = Run({"show", "--json", "my_deck1_props.pptx"});
    const CliRun set = Run({"set", "--clear-personal", "--set", "Title=kept", "my_deck1_props.pptx"});
    ASSERT_EQ(set.status, 0) << set.err;
    const std::string parts =
        testsupport::RunCommand("unzip -p " + Quoted((m_dir / "my_deck1_props.pptx").string()) +
                                " docProps/core.xml docProps/app.xml");
    for (const char* element :
         {"dc:creator>", "cp:lastModifiedBy>", "<Company>", "<Manager>", "cp:lastPrinted>", "<Template>"}) {
        EXPECT_EQ(parts.find(element), std::string::npos) << element;
    }
    // Every other property reads as before.
    const std::string script =
        "import json,sys\n"
        "a=json.load(open(sys.argv[1]))[0]; b=json.load(open(sys.argv[2]))[0]\n"
        "gone={'Creator','LastModifiedBy','Company','Manager','LastPrinted','Template',"
        "'Title','FileSize','Error'}\n"
        "assert all(a[k]==b[k] for k in a if k not in gone), (a,b)\n"
        "assert all(b[k]=='' for k in gone-{'Title','FileSize','Error'}) and b['Title']=='kept'\n";
    testsupport::WriteFileBytes(m_dir / "a.json", before.out);
    testsupport::WriteFileBytes(m_dir / "b.json", Run({"show", "--json", "my_deck1_props.pptx"}).out);
    testsupport::WriteFileBytes(m_dir / "check.py", script);
    int status = -1;
    const std::string out = testsupport::RunCommand("python3 " + Quoted((m_dir / "check.py").string()) + " " +
                                                        Quoted((m_dir / "a.json").string()) + " " +
                                                        Quoted((m_dir / "b.json").string()) + " 2>&1",
                                                    &status);
    EXPECT_EQ(status, 0) << out;
}

} // namespace
} // namespace cli
