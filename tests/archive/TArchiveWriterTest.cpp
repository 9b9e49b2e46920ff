#include "archive/TArchiveWriter.h"

#include "archive/ArchiveErrors.h"
#include "archive/UpdatePackage.h"
#include "archive/ZipInspector.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using archive::TArchiveWriter;
using archive::TZipAction;
using testsupport::PackageBuilder;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;
using writertest::Content;
using writertest::InspectedMember;
using writertest::InspectFile;
using writertest::RandomBytes;

const std::string kUnixTimeExtra = std::string("UT\x05\x00\x03\x10\x20\x30\x40", 9);

// A package with the kinds of members a rebuild must treat differently: extracted parts, a member
// without '.' (never extracted), a directory entry, a data descriptor, extra fields and comments.
PackageBuilder SamplePackage()
{
    PackageBuilder builder;
    builder.Add("[Content_Types].xml", "<Types/>");
    builder.Add("_rels/.rels", "<Relationships/>");
    PackageBuilder::Entry core;
    core.name = "docProps/core.xml";
    core.content = "<core>old</core>";
    core.comment = "core comment";
    builder.Add(core);
    PackageBuilder::Entry image;
    image.name = "ppt/media/image1.png";
    image.content = RandomBytes(5000, 1);
    image.method = PackageBuilder::Method::Stored;
    image.localExtra = kUnixTimeExtra;
    image.centralExtra = kUnixTimeExtra.substr(0, 9);
    image.comment = "image comment";
    builder.Add(image);
    PackageBuilder::Entry metadata;
    metadata.name = "ppt/metadata";
    metadata.content = std::string(3000, 'm');
    metadata.dataDescriptor = true;
    builder.Add(metadata);
    builder.Add("ppt/", "", PackageBuilder::Method::Stored);
    builder.ArchiveComment("archive comment");
    return builder;
}

class WriterTest : public ::testing::Test
{
protected:
    void SetUp() override { fs::create_directories(folder); }

    void Put(const std::string& name, const std::string& content) { WriteFileBytes(folder / name, content); }

    // Everything in the package's folder except the package and the scratch folder.
    std::vector<std::string> Leftovers() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            if (entry.path() != package && entry.path() != folder) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    const InspectedMember& Find(const writertest::InspectedArchive& a, const std::string& name) const
    {
        for (const auto& m : a.Members) {
            if (m.Name == name) {
                return m;
            }
        }
        throw std::runtime_error("no member " + name);
    }

    TempDir dir;
    fs::path package = dir / "deck.pptx";
    fs::path folder = dir / "scratch";
};

TEST_F(WriterTest, RebuildingAnUnchangedFolderRecompressesExtractedMembersInPlace)
{
    SamplePackage().WriteTo(package);
    const auto before = InspectFile(package);
    for (const auto& m : before.Members) {
        if (m.Name.find('.') != std::string::npos && m.Name.back() != '/') {
            Put(m.Name, Content(m));
        }
    }
    archive::UpdatePackage(package, folder);

    const auto after = InspectFile(package);
    ASSERT_EQ(after.Members.size(), before.Members.size());
    for (std::size_t i = 0; i < before.Members.size(); ++i) {
        const auto& old = before.Members[i];
        const auto& now = after.Members[i];
        SCOPED_TRACE(old.Name);
        EXPECT_EQ(now.Name, old.Name);
        EXPECT_EQ(Content(now), Content(old));
        EXPECT_EQ(now.Comment, old.Comment);
        const bool extracted = old.Name.find('.') != std::string::npos && old.Name.back() != '/';
        if (extracted) {
            EXPECT_EQ(now.VersionMadeBy, 0x002D);
            EXPECT_EQ(now.VersionNeeded, 20);
            EXPECT_EQ(now.Flags, 0);
            EXPECT_EQ(now.Method, 8);
            EXPECT_EQ(now.InternalAttributes, 0);
            EXPECT_EQ(now.CentralExtra, "");
        } else {
            EXPECT_EQ(now.Data, old.Data);
        }
    }
    EXPECT_EQ(after.Comment, "archive comment");
    std::string report;
    EXPECT_TRUE(writertest::AcceptedByOtherTools(package, &report)) << report;
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(WriterTest, KeptMembersAreCopiedRawWithoutTheirDataDescriptor)
{
    SamplePackage().WriteTo(package);
    const auto before = InspectFile(package);
    Put("docProps/core.xml", "<core>new</core>");
    archive::UpdatePackage(package, folder);
    const auto after = InspectFile(package);

    ASSERT_EQ(after.Members.size(), before.Members.size());
    for (std::size_t i = 0; i < before.Members.size(); ++i) {
        const auto& old = before.Members[i];
        const auto& now = after.Members[i];
        SCOPED_TRACE(old.Name);
        ASSERT_EQ(now.Name, old.Name);
        if (old.Name == "docProps/core.xml") {
            EXPECT_EQ(Content(now), "<core>new</core>");
            EXPECT_EQ(now.Comment, "core comment");
            continue;
        }
        EXPECT_EQ(now.Data, old.Data);
        EXPECT_EQ(now.Method, old.Method);
        EXPECT_EQ(now.Crc32, old.Crc32);
        EXPECT_EQ(now.DosDateTime, old.DosDateTime);
        EXPECT_EQ(now.Comment, old.Comment);
        EXPECT_EQ(now.LocalExtra, old.LocalExtra);
        EXPECT_EQ(now.CentralExtra, old.CentralExtra);
        EXPECT_EQ(now.Flags & 0x0008, 0);
        EXPECT_EQ(now.LocalFlags, now.Flags);
        EXPECT_EQ(now.LocalCrc32, now.Crc32);
        EXPECT_EQ(now.LocalCompressedSize, now.CompressedSize);
        EXPECT_EQ(now.LocalUncompressedSize, now.UncompressedSize);
    }
    EXPECT_NE(Find(before, "ppt/metadata").Flags & 0x0008, 0);
    // The descriptor is not copied: the next member's local header follows the data directly.
    EXPECT_EQ(Find(after, "ppt/metadata").AfterData.substr(0, 4), std::string("PK\x03\x04", 4));
    EXPECT_EQ(Find(after, "ppt/media/image1.png").LocalExtra, kUnixTimeExtra);
    std::string report;
    EXPECT_TRUE(writertest::AcceptedByOtherTools(package, &report)) << report;
}

// Traditional encryption checks the password against the time instead of the CRC when the
// descriptor flag is set, so an encrypted member keeps the flag and gets its descriptor back.
TEST_F(WriterTest, EncryptedMemberKeepsItsDataDescriptor)
{
    PackageBuilder builder;
    PackageBuilder::Entry secret;
    secret.name = "secret.bin";
    secret.content = RandomBytes(100, 5); // stands for the encrypted bytes
    secret.method = PackageBuilder::Method::Stored;
    secret.flags = 0x0001;
    secret.dataDescriptor = true;
    builder.Add(secret);
    builder.Add("docProps/core.xml", "<core/>");
    builder.WriteTo(package);
    Put("docProps/core.xml", "<core>new</core>");
    archive::UpdatePackage(package, folder);

    const auto after = InspectFile(package);
    const auto& kept = after.Members.at(0);
    EXPECT_EQ(kept.Flags, 0x0009);
    EXPECT_EQ(kept.Data, secret.content);
    ASSERT_EQ(kept.AfterData.size(), 16U);
    EXPECT_EQ(kept.AfterData.substr(0, 4), std::string("PK\x07\x08", 4));
    std::uint32_t descriptorCrc = 0;
    for (int i = 3; i >= 0; --i) {
        descriptorCrc = (descriptorCrc << 8) | static_cast<unsigned char>(kept.AfterData[4 + i]);
    }
    EXPECT_EQ(descriptorCrc, kept.Crc32);
}

TEST_F(WriterTest, NewFilesAreAppendedInWalkOrderAndHiddenFilesAreLeftOut)
{
    SamplePackage().WriteTo(package);
    Put("docProps/custom.xml", "<custom/>");
    Put("ppt/slides/sl\xC3\xAF"
        "de.xml",
        "<slide/>");
    Put("a.xml", "<a/>");
    Put(".DS_Store", "junk");
    Put(".git/config.xml", "junk");
    Put("ppt/.slide1.xml.swp", "junk");
    Put("_rels/.rels", "<Relationships>new</Relationships>"); // a hidden name that is a member
    Put("ppt/_rels/.rels", "junk"); // neither a member nor the package relationships
    archive::UpdatePackage(package, folder);

    const auto after = InspectFile(package);
    std::vector<std::string> names;
    for (const auto& m : after.Members) {
        names.push_back(m.Name);
    }
    const std::vector<std::string> expected = {"[Content_Types].xml",
                                               "_rels/.rels",
                                               "docProps/core.xml",
                                               "ppt/media/image1.png",
                                               "ppt/metadata",
                                               "ppt/",
                                               "a.xml",
                                               "docProps/custom.xml",
                                               "ppt/slides/sl\xC3\xAF"
                                               "de.xml"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Content(Find(after, "_rels/.rels")), "<Relationships>new</Relationships>");
    EXPECT_EQ(Find(after, "a.xml").Flags & 0x0800, 0);
    EXPECT_EQ(Find(after, "ppt/slides/sl\xC3\xAF"
                          "de.xml")
                      .Flags &
                  0x0800,
              0x0800);
    EXPECT_EQ(Content(Find(after, "docProps/custom.xml")), "<custom/>");
}

// A save that creates a property part also creates the package relationships when they were missing.
TEST_F(WriterTest, PackageRelationshipsAreAddedThoughTheirNameIsHidden)
{
    PackageBuilder builder;
    builder.Add("[Content_Types].xml", "<Types/>");
    builder.WriteTo(package);
    Put("_rels/.rels", "<Relationships/>");
    Put("docProps/core.xml", "<core/>");
    archive::UpdatePackage(package, folder);
    const auto after = InspectFile(package);
    ASSERT_EQ(after.Members.size(), 3U);
    EXPECT_EQ(after.Members[1].Name, "_rels/.rels");
    EXPECT_EQ(after.Members[2].Name, "docProps/core.xml");
}

TEST_F(WriterTest, ReplacedMembersKeepTheirStoredNameBytesAndNameFlag)
{
    PackageBuilder builder;
    PackageBuilder::Entry part;
    part.name = "PPT/Caf\xC3\xA9.XML";
    part.content = "old";
    part.flags = 0x0800;
    builder.Add(part);
    builder.Add("Doc\\Props.xml", "old too");
    builder.WriteTo(package);
    Put("ppt/caf\xC3\xA9.xml", "new");
    Put("doc/props.xml", "new too");
    archive::UpdatePackage(package, folder);

    const auto after = InspectFile(package);
    ASSERT_EQ(after.Members.size(), 2U);
    EXPECT_EQ(after.Members[0].Name, "PPT/Caf\xC3\xA9.XML");
    EXPECT_EQ(after.Members[0].Flags, 0x0800);
    EXPECT_EQ(Content(after.Members[0]), "new");
    EXPECT_EQ(after.Members[1].Name, "Doc\\Props.xml");
    EXPECT_EQ(Content(after.Members[1]), "new too");
}

TEST_F(WriterTest, ForcedZip64IsWrittenAndReadBack)
{
    SamplePackage().WriteTo(package);
    const auto before = InspectFile(package);
    Put("docProps/core.xml", "<core>zip64</core>");
    Put("docProps/extra.xml", "<extra/>");
    TArchiveWriter writer;
    writer.SetRootDir(folder.string());
    writer.ZipName = package;
    writer.FilesList = {folder.string() + "/*.*"};
    writer.ZipAction = TZipAction::zaReplace;
    writer.SetRelativePaths(true);
    writer.ForceZip64 = true;
    EXPECT_EQ(writer.UpdateArchive(), 2);
    EXPECT_TRUE(writer.FilesList.empty());

    const auto after = InspectFile(package);
    EXPECT_TRUE(after.Zip64End);
    ASSERT_EQ(after.Members.size(), before.Members.size() + 1);
    for (const auto& m : after.Members) {
        EXPECT_TRUE(m.CentralZip64) << m.Name;
        EXPECT_EQ(m.VersionNeeded, 45) << m.Name;
    }
    std::string report;
    EXPECT_TRUE(writertest::AcceptedByOtherTools(package, &report)) << report;

    archive::TArchiveReader reader;
    reader.ZipName = package;
    reader.OpenDirectory();
    ASSERT_EQ(reader.Count(), after.Members.size());
    for (std::size_t i = 0; i < reader.Count(); ++i) {
        EXPECT_EQ(reader.Member(i).StoredName(), after.Members[i].Name);
        EXPECT_EQ(reader.ExtractToMemory(reader.Member(i), 1 << 20), Content(after.Members[i]));
    }
    EXPECT_EQ(reader.EndCentral().Comment, "archive comment");
}

// The ways an update must fail without touching the package or leaving a temporary file behind.
enum class Failure
{
    DiskFull,
    ReplacementVanishes,
    ReadOnlyPackage,
    PackageChangedMeanwhile,
    NotAZip,
};

class WriterFailureTest : public WriterTest, public ::testing::WithParamInterface<Failure>
{
};

TEST_P(WriterFailureTest, PackageStaysAsItWas)
{
    PackageBuilder builder = SamplePackage();
    builder.Add("ppt/media/big.bin", RandomBytes(400000, 3), PackageBuilder::Method::Stored);
    builder.WriteTo(package);
    if (GetParam() == Failure::NotAZip) {
        WriteFileBytes(package, std::string(5000, 'x'));
    }
    const std::string original = ReadFileBytes(package);
    Put("docProps/core.xml", "<core>new</core>");
    Put("ppt/media/big.bin", RandomBytes(400000, 4));

    TArchiveWriter writer;
    writer.SetRootDir(folder.string());
    writer.ZipName = package;
    writer.FilesList = {folder.string() + "/*.*"};
    writer.ZipAction = TZipAction::zaReplace;
    writer.SetRelativePaths(true);
    std::string expectedContent = original;

    switch (GetParam()) {
    case Failure::DiskFull: {
        // A child process with a file size limit below the new archive's size meets EFBIG.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{200000, 200000};
            setrlimit(RLIMIT_FSIZE, &limit);
            try {
                writer.UpdateArchive();
            } catch (const archive::ENotEnoughRoom&) {
                _exit(0);
            } catch (...) {
                _exit(2);
            }
            _exit(1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        break;
    }
    case Failure::ReplacementVanishes:
        // Removed once the copying has begun, after the folder was walked: the copy reports bytes
        // (this package has more than 400000), the directory read counts records.
        writer.OnProgress = [&](std::uint64_t done, std::uint64_t total) {
            if (done > 0 && total > 400000) {
                fs::remove(folder / "docProps/core.xml");
            }
            return true;
        };
        EXPECT_THROW(writer.UpdateArchive(), archive::EArchiveError);
        break;
    case Failure::ReadOnlyPackage:
        fs::permissions(package, fs::perms::owner_read | fs::perms::group_read);
        EXPECT_THROW(writer.UpdateArchive(), archive::EArchiveError);
        break;
    case Failure::PackageChangedMeanwhile:
        expectedContent = "someone else's package";
        writer.OnProgress = [&](std::uint64_t done, std::uint64_t) {
            if (done > 0 && ReadFileBytes(package) != expectedContent) {
                WriteFileBytes(package, expectedContent);
            }
            return true;
        };
        EXPECT_THROW(writer.UpdateArchive(), archive::EArchiveError);
        break;
    case Failure::NotAZip:
        EXPECT_THROW(writer.UpdateArchive(), archive::EArchiveError);
        break;
    }
    EXPECT_TRUE(ReadFileBytes(package) == expectedContent);
    EXPECT_TRUE(Leftovers().empty());
}

INSTANTIATE_TEST_SUITE_P(Failures,
                         WriterFailureTest,
                         ::testing::Values(Failure::DiskFull,
                                           Failure::ReplacementVanishes,
                                           Failure::ReadOnlyPackage,
                                           Failure::PackageChangedMeanwhile,
                                           Failure::NotAZip));

TEST_F(WriterTest, PermissionBitsOfThePackageAreKept)
{
    SamplePackage().WriteTo(package);
    fs::permissions(package, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    Put("docProps/core.xml", "<core>new</core>");
    archive::UpdatePackage(package, folder);
    EXPECT_EQ(fs::status(package).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(WriterTest, MissingPackageIsCreatedByTheWriterButRefusedByUpdatePackage)
{
    Put("docProps/core.xml", "<core/>");
    EXPECT_THROW(archive::UpdatePackage(package, folder), archive::EArchiveError);
    EXPECT_FALSE(fs::exists(package));

    TArchiveWriter writer;
    writer.SetRootDir(folder.string());
    writer.ZipName = package;
    writer.FilesList = {folder.string() + "/*.*"};
    writer.SetRelativePaths(true);
    EXPECT_EQ(writer.UpdateArchive(), 1);
    const auto created = InspectFile(package);
    ASSERT_EQ(created.Members.size(), 1U);
    EXPECT_EQ(created.Members[0].Name, "docProps/core.xml");
}

TEST_F(WriterTest, ExcludeAndNoCompressListsAndTheArchiveItself)
{
    Put("a.xml", "<a/>");
    Put("sub/b.xml", std::string(1000, 'b'));
    Put("sub/c.tmp", "skip");
    TArchiveWriter writer;
    writer.SetRootDir(folder.string());
    writer.ZipName = folder / "self.zip";
    writer.FilesList = {folder.string() + "/*"};
    writer.SetRelativePaths(true);
    writer.ZipAction = TZipAction::zaReplace;
    writer.ExcludeList = {"*.TMP"};
    writer.NoCompressList = {"*/sub/*.xml"};
    EXPECT_EQ(writer.UpdateArchive(), 2);
    // A second run finds self.zip in the folder and must not add it to itself.
    writer.FilesList = {folder.string() + "/*"};
    writer.ExcludeList = {"*.tmp"};
    EXPECT_EQ(writer.UpdateArchive(), 2);
    const auto a = InspectFile(folder / "self.zip");
    ASSERT_EQ(a.Members.size(), 2U);
    EXPECT_EQ(a.Members[0].Name, "a.xml");
    EXPECT_EQ(a.Members[0].Method, 8);
    EXPECT_EQ(a.Members[1].Name, "sub/b.xml");
    EXPECT_EQ(a.Members[1].Method, 0);
}

struct SetterCase
{
    const char* name;
    std::function<void(TArchiveWriter&)> setUp;
    std::function<void(TArchiveWriter&)> change;
    bool recurse, storePaths, relativePaths, storeVolumes;
};

class WriterSetterTest : public ::testing::TestWithParam<SetterCase>
{
};

TEST_P(WriterSetterTest, SettingsPullOthersAlong)
{
    TArchiveWriter writer;
    GetParam().setUp(writer);
    GetParam().change(writer);
    EXPECT_EQ(writer.Recurse(), GetParam().recurse);
    EXPECT_EQ(writer.StorePaths(), GetParam().storePaths);
    EXPECT_EQ(writer.RelativePaths(), GetParam().relativePaths);
    EXPECT_EQ(writer.StoreVolumes(), GetParam().storeVolumes);
}

INSTANTIATE_TEST_SUITE_P(
    Rules,
    WriterSetterTest,
    ::testing::Values(
        SetterCase{"RelativeSetsStoreAndRecurse", [](TArchiveWriter&) {},
                   [](TArchiveWriter& w) { w.SetRelativePaths(true); }, true, true, true, false},
        SetterCase{"NoStoreClearsRelativeAndVolumes",
                   [](TArchiveWriter& w) {
                       w.SetRelativePaths(true);
                       w.SetStoreVolumes(true);
                   },
                   [](TArchiveWriter& w) { w.SetStorePaths(false); }, true, false, false, false},
        SetterCase{"VolumesSetStore", [](TArchiveWriter&) {},
                   [](TArchiveWriter& w) { w.SetStoreVolumes(true); }, false, true, false, true},
        SetterCase{"ClearingRelativeKeepsTheRest", [](TArchiveWriter& w) { w.SetRelativePaths(true); },
                   [](TArchiveWriter& w) { w.SetRelativePaths(false); }, true, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriterRootDirTest, RootDirGetsASeparatorAndBecomesTheRelativePathList)
{
    TArchiveWriter writer;
    writer.SetRootDir("/decks/deck.pptx");
    EXPECT_EQ(writer.RootDir(), "/decks/deck.pptx/");
    EXPECT_EQ(writer.RelativePathList(), std::vector<std::string>{"/decks/deck.pptx/"});
    writer.SetRootDir("");
    EXPECT_EQ(writer.RootDir(), "");
}

} // namespace
