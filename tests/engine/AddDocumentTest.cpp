#include "engine/adding/AddDocument.h"

#include "engine/adding/AppendLoadedRows.h"
#include "engine/adding/ScanFolder.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sys/stat.h>

namespace engine {
namespace {

using testsupport::TempDir;
using testsupport::WriteFileBytes;
namespace fs = std::filesystem;

struct ExtensionCase
{
    const char* path;
    const char* extension;
};

class FileExtensionTest : public testing::TestWithParam<ExtensionCase>
{
};

TEST_P(FileExtensionTest, TakesTheTextAfterTheLastDot)
{
    EXPECT_EQ(FileExtension(GetParam().path), GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(Paths,
                         FileExtensionTest,
                         testing::Values(ExtensionCase{"/a/deck.pptx", "pptx"},
                                         ExtensionCase{"/a/deck.backup.PPTX", "PPTX"},
                                         ExtensionCase{"/a.b/deck", ""},
                                         ExtensionCase{"C:\\a.b\\deck", ""},
                                         ExtensionCase{"C:deck", ""},
                                         ExtensionCase{"/a/deck.", ""},
                                         ExtensionCase{"deck", ""},
                                         ExtensionCase{"/a/.hidden", "hidden"}));

struct FilterCase
{
    const char* ext;
    const char* mode;
    const char* list;
    bool passes;
};

class PassesFilterTest : public testing::TestWithParam<FilterCase>
{
};

TEST_P(PassesFilterTest, MatchesWholeListEntries)
{
    const FilterCase& c = GetParam();
    EXPECT_EQ(PassesFilter(c.ext, c.mode, c.list), c.passes) << c.ext << " " << c.mode << " " << c.list;
}

INSTANTIATE_TEST_SUITE_P(Modes,
                         PassesFilterTest,
                         testing::Values(FilterCase{"pptx", "2", "*.pptx;", true},
                                         FilterCase{"PpTx", "2", "*.pptx;", true},
                                         FilterCase{"ppt", "2", "*.pptx;", false},
                                         FilterCase{"pptx", "2", "*.pptx", false}, // last entry lacks ';'
                                         FilterCase{"pptm", "2", "*.pptx;*.pptm;", true},
                                         FilterCase{"", "2", "*.pptx;", false},
                                         FilterCase{"", "2", "*.;", true},
                                         FilterCase{"pptx", "1", "*.pptx;", false},
                                         FilterCase{"docx", "1", "*.pptx;", true},
                                         FilterCase{"anything", "0", "", true},
                                         FilterCase{"pptx", "3", "*.pptx;", false},
                                         FilterCase{"pptx", "", "*.pptx;", false}));

void WriteSized(const fs::path& path, std::size_t size)
{
    WriteFileBytes(path, std::string(size, 'x'));
}

std::vector<std::string> Names(const std::vector<std::string>& paths, const fs::path& root)
{
    std::vector<std::string> names;
    for (const std::string& path : paths) {
        names.push_back(path.substr(root.string().size() + 1)); // lexical: links stay as found
    }
    return names;
}

TEST(ScanFolder, SortedDepthFirstWithHiddenEntriesAndTheSizeLimit)
{
    TempDir dir;
    WriteSized(dir / "b.pptx", 513);
    WriteSized(dir / "a.PPTX", 600);
    WriteSized(dir / "small.pptx", 512);
    WriteSized(dir / "c.ppt", 600);
    WriteSized(dir / "d.pptm", 600);
    WriteSized(dir / "e.pptx.bak", 600);
    WriteSized(dir / ".hidden.pptx", 600);
    WriteSized(dir / "A" / "z.pptx", 600);
    WriteSized(dir / ".git" / "x.pptx", 600);
    WriteSized(dir / "folder.pptx" / "inner.pptx", 600);

    const std::vector<std::string> expected{".git/x.pptx", ".hidden.pptx", "A/z.pptx",
                                            "a.PPTX",      "b.pptx",       "folder.pptx/inner.pptx"};
    EXPECT_EQ(Names(ScanFolder(dir.Path().string(), "2", "*.pptx;"), dir.Path()), expected);
    // With or without the trailing separator, the same rows.
    EXPECT_EQ(ScanFolder(dir.Path().string() + "/", "2", "*.pptx;"),
              ScanFolder(dir.Path().string(), "2", "*.pptx;"));
    const std::vector<std::string> others{"c.ppt", "d.pptm", "e.pptx.bak"};
    EXPECT_EQ(Names(ScanFolder(dir.Path().string(), "1", "*.pptx;"), dir.Path()), others);
    EXPECT_TRUE(ScanFolder((dir / "missing").string(), "2", "*.pptx;").empty());
}

TEST(ScanFolder, FollowsFolderLinksButNotBackIntoTheWalk)
{
    TempDir dir;
    TempDir elsewhere;
    WriteSized(dir / "sub" / "a.pptx", 600);
    WriteSized(elsewhere / "linked.pptx", 600);
    fs::create_directory_symlink(dir.Path(), dir / "sub" / "loop");
    fs::create_directory_symlink(elsewhere.Path(), dir / "out");
    fs::create_symlink(dir / "nowhere", dir / "dangling.pptx");

    const std::vector<std::string> expected{"out/linked.pptx", "sub/a.pptx"};
    EXPECT_EQ(Names(ScanFolder(dir.Path().string(), "2", "*.pptx;"), dir.Path()), expected);
}

TEST(ScanFolder, ReportsSizesAboveFourGigabytes)
{
    TempDir dir;
    const fs::path big = dir / "big.pptx";
    WriteSized(big, 1);
    fs::resize_file(big, 5ULL * 1024 * 1024 * 1024); // sparse
    const std::vector<ScannedFile> files = ScanFolderFiles(dir.Path().string(), "2", "*.pptx;");
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(files[0].Size, 5ULL * 1024 * 1024 * 1024);
    EXPECT_EQ(files[0].FileName, "big.pptx");
    EXPECT_EQ(files[0].Ext, "pptx");
}

// Every front end tells paths apart here: a folder (also through a link), a file with its facts,
// a path that names nothing, and what is neither a file nor a folder.
TEST(ScanFolder, InspectPathTellsFoldersFilesAndTheRestApart)
{
    const TempDir dir;
    fs::create_directory(dir / "folder");
    fs::create_directory_symlink(dir / "folder", dir / "link");
    WriteFileBytes(dir / "deck.PPTX", std::string(700, 'x'));
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);

    EXPECT_EQ(InspectPath((dir / "folder").string()).What, PathOnDisk::Kind::Folder);
    EXPECT_EQ(InspectPath((dir / "link").string()).What, PathOnDisk::Kind::Folder);
    const PathOnDisk file = InspectPath((dir / "deck.PPTX").string());
    ASSERT_EQ(file.What, PathOnDisk::Kind::File);
    EXPECT_EQ(file.File->Size, 700U);
    EXPECT_EQ(file.File->FileName, "deck.PPTX");
    EXPECT_EQ(file.File->Ext, "PPTX");
    const PathOnDisk missing = InspectPath((dir / "gone.pptx").string());
    EXPECT_EQ(missing.What, PathOnDisk::Kind::Missing);
    EXPECT_EQ(missing.Problem, "No such file or directory");
    EXPECT_EQ(InspectPath((dir / "pipe").string()).What, PathOnDisk::Kind::Other);
    EXPECT_EQ(InspectPath("").What, PathOnDisk::Kind::Missing);
}

TEST(AddDocument, FileRowsHoldTheFileFactsAndStayCheckedWhenUnreadable)
{
    TempDir dir;
    WriteSized(dir / "a.pptx", 512);
    WriteSized(dir / "b.pptx", 513);
    VectorDocumentList list;
    AddDocumentFile(list, (dir / "a.pptx").string());
    AddDocumentFile(list, (dir / "missing.pptx").string());
    AddDocumentFile(list, dir.Path().string());
    EXPECT_EQ(list.RowCount(), 0U);

    AddDocumentFile(list, (dir / "b.pptx").string());
    AddDocumentFile(list, (dir / "b.pptx").string()); // twice: two independent rows
    ASSERT_EQ(list.RowCount(), 2U);
    const DocumentRecord& record = list.RecordAt(0);
    EXPECT_EQ(record.FullPath, (dir / "b.pptx").string());
    EXPECT_EQ(record.FileName, "b.pptx");
    EXPECT_EQ(record.FileSize, "513");
    EXPECT_EQ(record.FileExt, "pptx");
    EXPECT_EQ(record.FileType, "file");
    EXPECT_FALSE(record.LastError.empty()); // not a package
    EXPECT_FALSE(record.Modified);
    EXPECT_EQ(list.CheckState(0), kChecked);
}

TEST(AddDocument, FolderRowsKeepScanOrderAndCancelKeepsWhatWasLoaded)
{
    TempDir dir;
    const std::string package = testsupport::PackageBuilder::Presentation("", "").Build();
    for (int i = 0; i < 40; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "deck%02d.pptx", i);
        WriteFileBytes(dir / name, package);
    }
    VectorDocumentList all;
    std::size_t reported = 0;
    Progress progress;
    progress.OnProgress = [&](std::size_t done, std::size_t total, const std::string&) {
        EXPECT_EQ(done, ++reported);
        EXPECT_EQ(total, 40U);
    };
    AddDocumentFolder(all, dir.Path().string(), "2", "*.pptx;", progress);
    ASSERT_EQ(all.RowCount(), 40U);
    EXPECT_EQ(reported, 40U);
    for (std::size_t i = 0; i < all.RowCount(); ++i) {
        EXPECT_EQ(all.RecordAt(i).FullPath, ScanFolder(dir.Path().string(), "2", "*.pptx;")[i]);
        EXPECT_EQ(all.CheckState(i), kChecked);
    }

    std::atomic<bool> cancel = false;
    Progress cancelling;
    cancelling.CancelRequested = &cancel;
    cancelling.OnProgress = [&](std::size_t done, std::size_t, const std::string&) {
        if (done == 3) {
            cancel = true;
        }
    };
    VectorDocumentList some;
    AddDocumentFolder(some, dir.Path().string(), "2", "*.pptx;", cancelling);
    EXPECT_EQ(some.RowCount(), 3U);
    for (std::size_t i = 0; i < some.RowCount(); ++i) {
        EXPECT_EQ(some.RecordAt(i).FullPath, all.RecordAt(i).FullPath);
    }
    VectorDocumentList none;
    AddDocumentFolder(none, dir.Path().string(), "2", "*.pptx;", cancelling); // still cancelled
    EXPECT_EQ(none.RowCount(), 0U);
}

// A folder's files are examined by their loads: the rows are those a walk that examined each file
// would give (nothing of 512 bytes or less, nothing that is not a regular file), and each row's
// size is that of the file its load read.
TEST(AddDocument, FolderRowsAreTheFilesTheirLoadsFindLargeEnough)
{
    TempDir dir;
    const std::string package = testsupport::PackageBuilder::Presentation("", "").Build();
    WriteFileBytes(dir / "a.pptx", package);
    WriteSized(dir / "b.pptx", 512);                                         // too small, as a lock file
    WriteFileBytes(dir / "c.pptx", "\x08Jane Doe" + std::string(156, '\0')); // an owner lock file
    WriteSized(dir / "d.pptx", 513);                                         // large enough, no package
    WriteSized(dir / "e.txt", 600);                                          // filtered out
    fs::create_symlink(dir / "a.pptx", dir / "f.pptx");
    ASSERT_EQ(mkfifo((dir / "g.pptx").c_str(), 0600), 0); // never opened, so the add cannot block
    fs::create_directory(dir / "h.pptx");
    WriteFileBytes(dir / "h.pptx" / "inner.pptx", package);

    VectorDocumentList list;
    AddDocumentFolder(list, dir.Path().string(), "2", "*.pptx;");
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < list.RowCount(); ++i) {
        const DocumentRecord& record = list.RecordAt(i);
        rows.push_back(record.FileName + " " + record.FileSize + (record.LastError.empty() ? "" : " error"));
        EXPECT_EQ(record.FileExt, "pptx");
    }
    const std::string size = std::to_string(package.size());
    EXPECT_EQ(rows, (std::vector<std::string>{"a.pptx " + size, "d.pptx 513 error", "f.pptx " + size,
                                              "inner.pptx " + size}));
    // The walk that examines each file itself gives the same files.
    EXPECT_EQ(Names(ScanFolder(dir.Path().string(), "2", "*.pptx;"), dir.Path()),
              (std::vector<std::string>{"a.pptx", "d.pptx", "f.pptx", "h.pptx/inner.pptx"}));
}

// A file taken by its name alone that is gone or too small when its load comes is no row; one whose
// load read it takes the size the load found.
TEST(AddDocument, RowsOfUnexaminedFilesFollowWhatTheLoadFound)
{
    TempDir dir;
    const std::string package = testsupport::PackageBuilder::Presentation("", "").Build();
    WriteFileBytes(dir / "deck.pptx", package);
    WriteSized(dir / "small.pptx", 100);
    const auto unexamined = [&](const std::string& name) {
        return ScannedFile{(dir / name).string(), name, 0, "pptx", false};
    };
    VectorDocumentList list;
    AppendLoadedRows(list, {unexamined("gone.pptx"), unexamined("small.pptx"), unexamined("deck.pptx")}, {});
    ASSERT_EQ(list.RowCount(), 1U);
    EXPECT_EQ(list.RecordAt(0).FileName, "deck.pptx");
    EXPECT_EQ(list.RecordAt(0).FileSize, std::to_string(package.size()));
    EXPECT_EQ(list.RecordAt(0).LastError, "");
    EXPECT_EQ(list.CheckState(0), kChecked);
}

} // namespace
} // namespace engine
