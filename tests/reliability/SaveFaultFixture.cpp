#include "reliability/SaveFaultFixture.h"

#include "engine/package/LoadDocument.h"
#include "engine/package/SaveDocument.h"
#include "reliability/SandboxChecks.h"
#include "support/RealCorpus.h"

#include <cstdlib>
#include <grp.h>
#include <unistd.h>

namespace reliability {
namespace fs = std::filesystem;

void SaveFaultFixture::SetUp()
{
    fs::create_directories(m_folder);
    fs::create_directories(m_scratch);
    if (const char* old = std::getenv("TMPDIR")) {
        m_hadTmpDir = true;
        m_savedTmpDir = old;
    }
    setenv("TMPDIR", m_scratch.c_str(), 1);
}

void SaveFaultFixture::TearDown()
{
    if (m_hadTmpDir) {
        setenv("TMPDIR", m_savedTmpDir.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

void SaveFaultFixture::UseRealPackage(const std::string& name)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    m_package = m_folder / name;
    m_original = testsupport::ReadFileBytes(testsupport::RealCorpusDir() / name);
    testsupport::WriteFileBytes(m_package, m_original);
}

void SaveFaultFixture::UseGeneratedPackage(const std::string& name,
                                           const testsupport::PackageBuilder& package)
{
    m_package = m_folder / name;
    m_original = package.Build();
    testsupport::WriteFileBytes(m_package, m_original);
}

engine::DocumentOutcome SaveFaultFixture::SaveTitle(const std::string& title)
{
    engine::DocumentRecord record = RecordFor(m_package);
    Edit(record, 0, title);
    return engine::SaveDocument(record);
}

std::string SaveFaultFixture::LoadTitle()
{
    engine::DocumentRecord record = RecordFor(m_package);
    const engine::DocumentOutcome outcome = engine::LoadDocument(record);
    return outcome.ok ? record.Value(0) : "!" + outcome.message;
}

bool SaveFaultFixture::PackageUnchanged() const
{
    return fs::exists(m_package) && testsupport::ReadFileBytes(m_package) == m_original;
}

bool SaveFaultFixture::FolderHoldsOnlyPackage() const
{
    return EntryNames(m_folder) == std::vector<std::string>{m_package.filename().string()};
}

void SaveFaultFixture::OpenFoldersToOthers()
{
    using fs::perms;
    fs::permissions(m_root.Path(), perms::owner_all | perms::group_read | perms::group_exec |
                                       perms::others_read | perms::others_exec);
    fs::permissions(m_scratch, perms::all);
}

bool DropPrivileges()
{
    if (geteuid() != 0) {
        return true;
    }
    return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

} // namespace reliability
