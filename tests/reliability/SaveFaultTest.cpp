// Saves disturbed by the file system: a full disk, a read-only package, a package deleted or
// replaced between load and save, a folder the user may not write. None may lose or damage the
// package, and every failure must be reported as one.
#include "engine/package/LoadDocument.h"
#include "engine/package/SaveDocument.h"
#include "reliability/ChildProcess.h"
#include "reliability/SandboxChecks.h"
#include "reliability/SaveFaultFixture.h"
#include "support/SampleDecks.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace reliability {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPackage = "deck.pptx";
constexpr const char* kNewTitle = "Edited title";

std::string Flag(bool value)
{
    return value ? "1" : "0";
}

// The outcome of a save as a child reports it.
Report SaveReport(const engine::DocumentOutcome& outcome, const engine::DocumentRecord& record)
{
    return {{"ok", Flag(outcome.ok)},
            {"message", outcome.message},
            {"lastError", record.LastError},
            {"modified", Flag(record.Modified)}};
}

class SaveFaultTest : public SaveFaultFixture
{
protected:
    void SetUp() override
    {
        SaveFaultFixture::SetUp();
        UseGeneratedPackage(kPackage, testsupport::PropertyDeck());
    }

    // A save that ran in a child and failed: reported, Modified kept, package and folder untouched.
    void ExpectReportedFailure(const ChildResult& run)
    {
        ASSERT_TRUE(run.exited && run.exitCode == 0) << "signal " << run.signal << " " << run.error;
        EXPECT_EQ(run.report.at("ok"), "0") << "the save claims success";
        EXPECT_FALSE(run.report.at("lastError").empty());
        EXPECT_EQ(run.report.at("modified"), "1");
        EXPECT_TRUE(PackageUnchanged());
        EXPECT_TRUE(FolderHoldsOnlyPackage()) << ::testing::PrintToString(EntryNames(m_folder));
    }

    // Either outcome may be right, but it must be the truth: a reported success holds the edit, a
    // reported failure leaves the package as it was.
    void ExpectTruthfulOutcome(bool ok, const std::string& message, const std::string& before)
    {
        if (ok) {
            EXPECT_EQ(LoadTitle(), kNewTitle);
            EXPECT_TRUE(PythonFindsZipSound(m_package));
        } else {
            EXPECT_FALSE(message.empty());
            EXPECT_TRUE(fs::exists(m_package) && testsupport::ReadFileBytes(m_package) == before);
        }
        EXPECT_TRUE(FolderHoldsOnlyPackage()) << ::testing::PrintToString(EntryNames(m_folder));
    }
};

TEST_F(SaveFaultTest, FileSizeLimitFailsTheSaveAndKeepsThePackage)
{
    const auto limit = static_cast<rlim_t>(m_original.size() / 2);
    const ChildResult run = RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        const rlimit small{limit, limit};
        setrlimit(RLIMIT_FSIZE, &small);
        engine::DocumentRecord record = RecordFor(m_package);
        Edit(record, 0, kNewTitle);
        const engine::DocumentOutcome outcome = engine::SaveDocument(record);
        return SaveReport(outcome, record);
    });
    ExpectReportedFailure(run);
    EXPECT_EQ(EntryNames(m_scratch), std::vector<std::string>{}) << "scratch left after a failed save";
}

TEST_F(SaveFaultTest, FullDiskFailsTheSaveAndKeepsThePackage)
{
    const fs::path disk = m_root / "disk";
    fs::create_directories(disk);
    const ChildResult run = RunInChild([&]() -> Report {
        // A private mount namespace, so the small file system vanishes with the child.
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return {{"skip", "no mount namespace"}};
        }
        const std::string options = "size=" + std::to_string(m_original.size() + 64 * 1024);
        if (mount("tmpfs", disk.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            return {{"skip", "tmpfs cannot be mounted"}};
        }
        const fs::path package = disk / kPackage;
        testsupport::WriteFileBytes(package, m_original);
        // Fill what is left, so the new archive cannot be written next to the package.
        const int fill = open((disk / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(4096, 'f');
        while (write(fill, block.data(), block.size()) > 0) {
        }
        close(fill);
        engine::DocumentRecord record = RecordFor(package);
        Edit(record, 0, kNewTitle);
        const engine::DocumentOutcome outcome = engine::SaveDocument(record);
        Report report = SaveReport(outcome, record);
        report["unchanged"] = Flag(testsupport::ReadFileBytes(package) == m_original);
        report["entries"] = std::to_string(EntryNames(disk).size());
        return report;
    });
    ASSERT_TRUE(run.exited && run.exitCode == 0) << "signal " << run.signal << " " << run.error;
    if (run.report.count("skip") != 0) {
        GTEST_SKIP() << run.report.at("skip");
    }
    EXPECT_EQ(run.report.at("ok"), "0") << "the save claims success on a full disk";
    EXPECT_FALSE(run.report.at("lastError").empty());
    EXPECT_EQ(run.report.at("modified"), "1");
    EXPECT_EQ(run.report.at("unchanged"), "1");
    EXPECT_EQ(run.report.at("entries"), "2") << "temporary files left on the full disk";
}

TEST_F(SaveFaultTest, PackageDeletedBeforeTheSaveIsNotRecreated)
{
    engine::DocumentRecord record = RecordFor(m_package);
    ASSERT_TRUE(engine::LoadDocument(record).ok);
    fs::remove(m_package);
    Edit(record, 0, kNewTitle);
    const engine::DocumentOutcome outcome = engine::SaveDocument(record);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(record.LastError.empty());
    EXPECT_TRUE(record.Modified);
    EXPECT_EQ(EntryNames(m_folder), std::vector<std::string>{});
}

TEST_F(SaveFaultTest, PackageReplacedByOtherBytesIsLeftAlone)
{
    engine::DocumentRecord record = RecordFor(m_package);
    ASSERT_TRUE(engine::LoadDocument(record).ok);
    m_original = std::string(4096, 'x');
    testsupport::WriteFileBytes(m_package, m_original);
    Edit(record, 0, kNewTitle);
    const engine::DocumentOutcome outcome = engine::SaveDocument(record);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(record.LastError.empty());
    EXPECT_TRUE(PackageUnchanged());
    EXPECT_TRUE(FolderHoldsOnlyPackage());
}

TEST_F(SaveFaultTest, PackageReplacedByAnotherPackageGetsATruthfulOutcome)
{
    engine::DocumentRecord record = RecordFor(m_package);
    ASSERT_TRUE(engine::LoadDocument(record).ok);
    const std::string replacement = testsupport::PlainDeck().Build();
    testsupport::WriteFileBytes(m_package, replacement);
    Edit(record, 0, kNewTitle);
    const engine::DocumentOutcome outcome = engine::SaveDocument(record);
    ExpectTruthfulOutcome(outcome.ok, record.LastError, replacement);
}

TEST_F(SaveFaultTest, UnusableTemporaryFolderGetsATruthfulOutcome)
{
    const fs::path notAFolder = m_root / "not-a-folder";
    testsupport::WriteFileBytes(notAFolder, "x");
    setenv("TMPDIR", notAFolder.c_str(), 1);
    const engine::DocumentOutcome outcome = SaveTitle(kNewTitle);
    setenv("TMPDIR", m_scratch.c_str(), 1);
    ExpectTruthfulOutcome(outcome.ok, outcome.message, m_original);
}

TEST_F(SaveFaultTest, SaveThroughASymbolicLinkUpdatesTheLinkedPackage)
{
    const fs::path elsewhere = m_root / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path real = elsewhere / kPackage;
    fs::rename(m_package, real);
    fs::create_symlink(real, m_package);
    const engine::DocumentOutcome outcome = SaveTitle(kNewTitle);
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_TRUE(fs::is_symlink(m_package)) << "the link was replaced by a copy";
    EXPECT_EQ(LoadTitle(), kNewTitle);
    EXPECT_EQ(EntryNames(elsewhere), std::vector<std::string>{kPackage});
    EXPECT_TRUE(FolderHoldsOnlyPackage());
}

TEST_F(SaveFaultTest, ReadOnlyPackageGetsATruthfulOutcome)
{
    fs::permissions(m_package, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const engine::DocumentOutcome outcome = SaveTitle(kNewTitle);
    ExpectTruthfulOutcome(outcome.ok, outcome.message, m_original);
}

TEST_F(SaveFaultTest, ReadOnlyPackageOfAnUnprivilegedUserGetsATruthfulOutcome)
{
    OpenFoldersToOthers();
    if (geteuid() == 0) {
        ASSERT_EQ(chown(m_folder.c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(chown(m_package.c_str(), kNobody, kNobody), 0);
    }
    fs::permissions(m_package, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const ChildResult run = RunInChild([&]() -> Report {
        if (!DropPrivileges()) {
            return {{"skip", "cannot drop privileges"}};
        }
        engine::DocumentRecord record = RecordFor(m_package);
        Edit(record, 0, kNewTitle);
        const engine::DocumentOutcome outcome = engine::SaveDocument(record);
        return SaveReport(outcome, record);
    });
    ASSERT_TRUE(run.exited && run.exitCode == 0) << "signal " << run.signal << " " << run.error;
    if (run.report.count("skip") != 0) {
        GTEST_SKIP() << run.report.at("skip");
    }
    ExpectTruthfulOutcome(run.report.at("ok") == "1", run.report.at("lastError"), m_original);
}

TEST_F(SaveFaultTest, FolderWithoutWriteAccessFailsTheSave)
{
    OpenFoldersToOthers();
    // Owned by root, readable by everyone: the unprivileged user may neither write the package nor
    // create anything beside it.
    const ChildResult run = RunInChild([&]() -> Report {
        if (geteuid() != 0) {
            fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec,
                            fs::perm_options::replace);
        } else if (!DropPrivileges()) {
            return {{"skip", "cannot drop privileges"}};
        }
        engine::DocumentRecord record = RecordFor(m_package);
        Edit(record, 0, kNewTitle);
        const engine::DocumentOutcome outcome = engine::SaveDocument(record);
        return SaveReport(outcome, record);
    });
    fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add);
    if (run.report.count("skip") != 0) {
        GTEST_SKIP() << run.report.at("skip");
    }
    ExpectReportedFailure(run);
}

} // namespace
} // namespace reliability
