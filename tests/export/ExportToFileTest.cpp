#include "export/ExportToFile.h"

#include "export/BuildHtml.h"
#include "export/BuildText.h"
#include "export/BuildXml.h"
#include "export/DefaultCaptions.h"
#include "export/ExportError.h"
#include "export/SpreadsheetFileName.h"
#include "export/WriteSpreadsheet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace exporting {
namespace {

const GridSnapshot kGrid{{"     File Name", "Title"}, {{"a.pptx", "A"}, {"b.pptx", "B"}}};

std::size_t EntryCount(const std::filesystem::path& dir)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++count;
    }
    return count;
}

TEST(ExportToFileTest, WritesEachTextFormatAsBuilt)
{
    testsupport::TempDir dir;
    std::ostringstream html;
    BuildHtml(html, kGrid, "q3");
    std::ostringstream text;
    BuildText(text, kGrid);
    std::ostringstream xml;
    BuildXml(xml, kGrid);
    ExportToFile(ExportFormat::Html, kGrid, dir / "q3.summary.htm");
    ExportToFile(ExportFormat::Text, kGrid, dir / "t.txt");
    ExportToFile(ExportFormat::Xml, kGrid, dir / "x.xml");
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "q3.summary.htm"), html.str());
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "t.txt"), text.str());
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "x.xml"), xml.str());
    EXPECT_EQ(EntryCount(dir.Path()), 3u);
}

TEST(ExportToFileTest, EmptyGridReplacesTargetWithZeroBytes)
{
    testsupport::TempDir dir;
    for (ExportFormat format : {ExportFormat::Html, ExportFormat::Text, ExportFormat::Xml}) {
        testsupport::WriteFileBytes(dir / "old", "previous content");
        chmod((dir / "old").c_str(), 0640);
        ExportToFile(format, {DefaultCaptions(), {}}, dir / "old");
        EXPECT_EQ(testsupport::ReadFileBytes(dir / "old"), "");
        EXPECT_EQ(std::filesystem::status(dir / "old").permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_read);
    }
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(ExportToFileTest, ReplacesTheFileALinkNames)
{
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "real.txt", "old");
    std::filesystem::create_symlink("real.txt", dir / "link.txt");
    ExportToFile(ExportFormat::Text, kGrid, dir / "link.txt");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "real.txt").substr(0, 14), "     File Name");
}

// Fails every write past a few bytes, as a full disk would.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }

    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST(ExportToFileTest, FailedWriteLeavesTheTargetUntouched)
{
    testsupport::TempDir dir;
    for (ExportFormat format :
         {ExportFormat::Html, ExportFormat::Text, ExportFormat::Xml, ExportFormat::Spreadsheet}) {
        testsupport::WriteFileBytes(dir / "target", "keep me");
        std::string message;
        {
            const FileSizeLimit limit(16);
            try {
                ExportToFile(format, kGrid, dir / "target");
            } catch (const EExportError& e) {
                message = e.what();
            }
        }
        EXPECT_FALSE(message.empty());
        if (format == ExportFormat::Spreadsheet) {
            EXPECT_EQ(message.rfind("Cannot write the spreadsheet " + (dir / "target").string() + ": ", 0),
                      0u)
                << message;
        } else {
            EXPECT_NE(message.find("File too large"), std::string::npos) << message;
        }
        EXPECT_EQ(testsupport::ReadFileBytes(dir / "target"), "keep me");
        EXPECT_EQ(EntryCount(dir.Path()), 1u) << "temporary file left behind";
    }
}

TEST(ExportToFileTest, TargetWithTheLongestNameIsWritten)
{
    testsupport::TempDir dir;
    const std::filesystem::path target = dir / (std::string(251, 'n') + ".txt");
    ExportToFile(ExportFormat::Text, kGrid, target);
    EXPECT_EQ(testsupport::ReadFileBytes(target).substr(0, 14), "     File Name");
}

TEST(ExportToFileTest, UnwritablePlacesAreReported)
{
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "folder.htm");
    EXPECT_THROW(ExportToFile(ExportFormat::Html, kGrid, dir / "folder.htm"), EExportError);
    try {
        ExportToFile(ExportFormat::Text, kGrid, dir / "missing" / "t.txt");
        FAIL() << "no error";
    } catch (const EExportError& e) {
        EXPECT_NE(std::string(e.what()).find((dir / "missing" / "t.txt").string()), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos);
    }
}

TEST(ExportToFileTest, SpreadsheetIsTitledAfterTheFileNameAndNeverWrittenUnderXls)
{
    testsupport::TempDir dir;
    EXPECT_EQ(ExportToFile(ExportFormat::Spreadsheet, kGrid, dir / "budget.2024.xls"),
              dir / "budget.2024.xlsx");
    const std::string sheet = testsupport::RunCommand("unzip -p '" + (dir / "budget.2024.xlsx").string() +
                                                      "' xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<t>budget</t>"), std::string::npos) << sheet;
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

// Past the sheet's last row the export is refused with the message alone, before any file is
// touched: an existing file keeps its content and nothing is written to the stream.
TEST(ExportToFileTest, SpreadsheetPastTheLastSheetRowIsRefusedUntouched)
{
    testsupport::TempDir dir;
    // Rows without cells: the limit counts rows, and a million of them cost little to hold.
    const GridSnapshot tooMany{{"A"}, std::vector<std::vector<std::string>>(kMaxSpreadsheetDocuments + 1)};
    testsupport::WriteFileBytes(dir / "kept.xlsx", "keep me");
    for (const char* name : {"kept.xlsx", "new.xlsx", "old.xls"}) {
        try {
            ExportToFile(ExportFormat::Spreadsheet, tooMany, dir / name);
            ADD_FAILURE() << name;
        } catch (const EExportError& e) {
            EXPECT_STREQ(e.what(), "The row count is out of excel range.");
        }
    }
    std::ostringstream out;
    EXPECT_THROW(ExportToStream(ExportFormat::Spreadsheet, tooMany, "t", out), EExportError);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "kept.xlsx"), "keep me");
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(ExportToFileTest, SpreadsheetFailureNamesTheFileAndTheReason)
{
    testsupport::TempDir dir;
    const GridSnapshot longCell{{"A"}, {{std::string(40000, 'x')}}};
    const std::pair<GridSnapshot, std::filesystem::path> cases[] = {
        {kGrid, dir / "missing" / "x.xlsx"},
        {longCell, dir / "long.xlsx"},
    };
    const std::string reasons[] = {"No such file or directory",
                                   "The text of cell A3 is longer than 32767 characters."};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        try {
            ExportToFile(ExportFormat::Spreadsheet, cases[i].first, cases[i].second);
            ADD_FAILURE() << "no error";
        } catch (const EExportError& e) {
            const std::string message = e.what();
            const std::string prefix = "Cannot write the spreadsheet " + cases[i].second.string() + ": ";
            EXPECT_EQ(message.substr(0, prefix.size()), prefix);
            EXPECT_TRUE(message.ends_with(reasons[i])) << message;
            EXPECT_EQ(message.find(cases[i].second.string(), prefix.size()), std::string::npos) << message;
        }
    }
    EXPECT_EQ(EntryCount(dir.Path()), 0u);
}

TEST(SpreadsheetFileNameTest, OnlyTheOldExtensionIsChanged)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/d/a.xls", "/d/a.xlsx"},        {"/d/A.XLS", "/d/A.XLSX"},
        {"/d/a.Xls", "/d/a.Xlsx"},        {"/d/a.xlsx", "/d/a.xlsx"},
        {"/d/a.xls.txt", "/d/a.xls.txt"}, {"/d/a", "/d/a"},
        {"/d/.xls", "/d/.xls"},           {"xls", "xls"},
    };
    for (const auto& [given, expected] : cases) {
        EXPECT_EQ(SpreadsheetFileName(given), expected) << given;
    }
}

} // namespace
} // namespace exporting
