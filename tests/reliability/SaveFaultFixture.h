#pragma once

#include "engine/record/DocumentOutcome.h"
#include "engine/record/DocumentRecord.h"
#include "reliability/ChildProcess.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// A package in a folder of its own, with the scratch folders redirected into the
// test's temporary folder, for tests that disturb a save.
namespace reliability {

class SaveFaultFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Copies the named real package into the folder; skips the test when the corpus is missing.
    void UseRealPackage(const std::string& name);
    // Writes the generated package into the folder under the given name.
    void UseGeneratedPackage(const std::string& name, const testsupport::PackageBuilder& package);

    // Edits Title and saves in this process.
    engine::DocumentOutcome SaveTitle(const std::string& title);
    // Loads the package in this process; the title read, or the failure message prefixed by "!".
    std::string LoadTitle();

    // The package is byte for byte what it was before the test touched it.
    [[nodiscard]] bool PackageUnchanged() const;
    // Only the package remains in its folder (no temporary or backup file beside it).
    [[nodiscard]] bool FolderHoldsOnlyPackage() const;

    // Lets an unprivileged user reach the folders (for tests that drop root's rights in a child).
    void OpenFoldersToOthers();

    testsupport::TempDir m_root;
    std::filesystem::path m_folder = m_root / "docs";
    std::filesystem::path m_scratch = m_root / "tmp";
    std::filesystem::path m_package;
    std::string m_original;

private:
    std::string m_savedTmpDir;
    bool m_hadTmpDir = false;
};

// Gives up root's rights in a child process (to the "nobody" user); false when that is not possible.
bool DropPrivileges();
inline constexpr unsigned kNobody = 65534;

} // namespace reliability
