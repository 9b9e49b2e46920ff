#include "archive/UpdatePackage.h"

#include "archive/ArchiveErrors.h"
#include "archive/AtomicReplace.h"
#include "archive/TArchiveReader.h"
#include "archive/ZipInspector.h"
#include "support/PackageBuilder.h"
#include "support/RealCorpus.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFileBytes;
using testsupport::RunCommand;
using testsupport::TempDir;

std::string Quote(const fs::path& path)
{
    return "'" + path.string() + "'";
}

bool PythonCanOpen(const fs::path& package)
{
    int code = -1;
    RunCommand("python3 -c 'import sys,zipfile; zipfile.ZipFile(sys.argv[1]).infolist()' " + Quote(package) +
                   " >/dev/null 2>&1",
               &code);
    return code == 0;
}

// Every member's name and uncompressed data, apart from the one that was rewritten, must be the same.
bool SameContentExceptCore(const fs::path& oldPackage, const fs::path& newPackage, std::string* report)
{
    const fs::path oracle = testsupport::SharedDir() / "corpus" / "oracle.py";
    const std::string script =
        "import json,subprocess,sys\n"
        "def members(p):\n"
        "    out = subprocess.run([sys.executable, sys.argv[1], '--members', p], "
        "capture_output=True).stdout\n"
        "    return [(e['name'], e['sha256']) for e in json.loads(out) if e['name'] != 'docProps/core.xml']\n"
        "a = sorted(members(sys.argv[2])); b = sorted(members(sys.argv[3]))\n"
        "print('same' if a == b else 'differ: %s' % sorted(set(a) ^ set(b))[:4])\n"
        "sys.exit(0 if a == b else 1)\n";
    int code = -1;
    *report = RunCommand("python3 -c \"" + script + "\" " + Quote(oracle) + " " + Quote(oldPackage) + " " +
                             Quote(newPackage) + " 2>&1",
                         &code);
    return code == 0;
}

class CorpusRoundTripTest : public ::testing::TestWithParam<std::string>
{
};

// Each real package goes through an update whose folder holds only a changed core part: the result
// is the old package with that one part rewritten, or, for a package that cannot be read, an error
// and the package as it was.
TEST_P(CorpusRoundTripTest, OnlyTheCorePartChanges)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    TempDir dir;
    const fs::path original = testsupport::RealCorpusDir() / GetParam();
    const fs::path package = dir / GetParam();
    const fs::path folder = dir / "scratch";
    fs::copy_file(original, package);
    fs::permissions(package, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    fs::create_directories(folder);
    const std::string before = ReadFileBytes(package);

    archive::TArchiveReader reader;
    reader.ZipName = package;
    try {
        reader.OpenDirectory();
    } catch (const archive::EArchiveError&) {
        EXPECT_THROW(archive::UpdatePackage(package, folder), archive::EArchiveError);
        EXPECT_EQ(ReadFileBytes(package), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
        return;
    }
    std::string newCore;
    if (const auto* core = reader.FindMember("docProps/core.xml")) {
        newCore = reader.ExtractToMemory(*core, 1 << 24) + "\n<!-- edited -->\n";
        testsupport::WriteFileBytes(folder / "docProps/core.xml", newCore);
    }
    reader.CloseArchive();

    archive::UpdatePackage(package, folder);
    std::string report;
    EXPECT_TRUE(writertest::AcceptedByOtherTools(package, &report)) << report;
    if (!newCore.empty()) {
        archive::TArchiveReader check;
        check.ZipName = package;
        check.OpenDirectory();
        ASSERT_NE(check.FindMember("docProps/core.xml"), nullptr);
        EXPECT_EQ(check.ExtractToMemory(*check.FindMember("docProps/core.xml"), 1 << 24), newCore);
    }
    if (PythonCanOpen(original)) {
        int code = -1;
        const std::string diff =
            RunCommand("python3 " + Quote(testsupport::SharedDir() / "corpus" / "oracle.py") + " --diff " +
                           Quote(original) + " " + Quote(package) + " 2>&1",
                       &code);
        EXPECT_EQ(code, 0) << diff;
        EXPECT_TRUE(SameContentExceptCore(original, package, &report)) << report;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

INSTANTIATE_TEST_SUITE_P(Real,
                         CorpusRoundTripTest,
                         ::testing::ValuesIn(testsupport::RealCorpusTestPackages()),
                         [](const auto& info) {
                             std::string name = info.param.substr(0, info.param.size() - 5);
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

// A file held open and locked, as a save in progress holds its temporary archive.
class LockedFile
{
public:
    explicit LockedFile(const fs::path& path)
        : m_fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        EXPECT_EQ(flock(m_fd, LOCK_EX | LOCK_NB), 0);
    }

    ~LockedFile() { close(m_fd); }

    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

private:
    int m_fd;
};

TEST(TemporaryArchiveSlots, AbandonedOnesGoWithTheNextSaveLiveOnesStayAndTheirNumberIsBounded)
{
    TempDir dir;
    const fs::path package = dir / "deck.pptx";
    testsupport::PackageBuilder().Add("docProps/core.xml", "<old/>").WriteTo(package);
    testsupport::WriteFileBytes(dir / "scratch" / "docProps" / "core.xml", "<new/>");
    const std::string stem = archive::TemporaryArchiveStem(package);
    const auto slot = [&](int n) { return dir / (stem + std::to_string(n)); };
    testsupport::WriteFileBytes(slot(0), "killed save");
    testsupport::WriteFileBytes(slot(archive::kTemporarySlots - 1), "killed save");
    testsupport::WriteFileBytes(dir / ".other.pptx.QXV0", "another package's");
    {
        const LockedFile live(slot(1));
        archive::UpdatePackage(package, dir / "scratch");
        EXPECT_FALSE(fs::exists(slot(0)));
        EXPECT_FALSE(fs::exists(slot(archive::kTemporarySlots - 1)));
        EXPECT_TRUE(fs::exists(slot(1))) << "the temporary archive of a running save was removed";
        EXPECT_TRUE(fs::exists(dir / ".other.pptx.QXV0"));
    }
    archive::UpdatePackage(package, dir / "scratch");
    EXPECT_FALSE(fs::exists(slot(1)));

    std::vector<std::unique_ptr<LockedFile>> running;
    for (int n = 0; n < archive::kTemporarySlots; ++n) {
        running.push_back(std::make_unique<LockedFile>(slot(n)));
    }
    testsupport::WriteFileBytes(dir / "scratch" / "docProps" / "core.xml", "<newer/>");
    const std::string before = ReadFileBytes(package);
    EXPECT_THROW(archive::UpdatePackage(package, dir / "scratch"), archive::EArchiveError);
    EXPECT_EQ(ReadFileBytes(package), before);
    running.clear();
    archive::UpdatePackage(package, dir / "scratch");
    archive::TArchiveReader check;
    check.ZipName = package;
    check.OpenDirectory();
    EXPECT_EQ(check.ExtractToMemory(*check.FindMember("docProps/core.xml"), 1 << 10), "<newer/>");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);
}

} // namespace
