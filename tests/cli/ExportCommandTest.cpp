#include "CliRunner.h"
#include "support/PackageBuilder.h"
#include "support/RealCorpus.h"
#include "support/TempDir.h"
#include "support/ThumbnailPackages.h"

#include <gtest/gtest.h>

#include <string>

namespace cli {
namespace {

// Runs velmora-cli with the arguments (already quoted) and keeps its exit status and stderr.
struct CliRun
{
    int status = -1;
    std::string err;
};

CliRun RunCli(const testsupport::TempDir& dir, const std::string& arguments)
{
    CliRun run;
    const std::filesystem::path errFile = dir / "stderr.txt";
    testsupport::RunCommand(std::string("'") + VELMORA_CLI_BINARY + "' " + arguments + " 2>'" +
                                errFile.string() + "'",
                            &run.status);
    run.err = testsupport::ReadFileBytes(errFile);
    std::filesystem::remove(errFile);
    return run;
}

std::string Quoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

class ExportCommandTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(m_dir / "in");
        testsupport::PackageBuilder::Presentation(
            testsupport::CoreXml("<dc:title>Q&amp;A &lt;beta&gt;</dc:title>"),
            testsupport::AppXml("<Company>Acme</Company>"))
            .WriteTo(m_dir / "in" / "a.pptx");
        testsupport::PackageBuilder::Presentation(testsupport::CoreXml("<dc:creator>Ann</dc:creator>"), "")
            .WriteTo(m_dir / "in" / "b.pptx");
    }

    testsupport::TempDir m_dir;
};

TEST_F(ExportCommandTest, WritesTheTextFileOfAFolder)
{
    testsupport::WriteFileBytes(m_dir / "out.txt", "old content");
    const CliRun run = RunCli(m_dir, "export --format text --output " + Quoted(m_dir / "out.txt") + " " +
                                         Quoted(m_dir / "in"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string text = testsupport::ReadFileBytes(m_dir / "out.txt");
    EXPECT_EQ(text.rfind("     File Name  ,  Full Path  ,  File Size  ,  Title  ,  ", 0), 0u) << text;
    EXPECT_NE(text.find("\r\na.pptx  ,  "), std::string::npos) << text;
    EXPECT_NE(text.find("  ,  Q&A <beta>  ,  "), std::string::npos) << text;
    EXPECT_NE(text.find("  ,  Acme  ,    ,  \r\nb.pptx  ,  "), std::string::npos) << text;
    EXPECT_NE(text.find("  ,  Ann  ,  "), std::string::npos) << text;
}

TEST_F(ExportCommandTest, WritesXmlAndWorkbook)
{
    const CliRun xml = RunCli(m_dir, "export --format xml --output " + Quoted(m_dir / "out.xml") + " " +
                                         Quoted(m_dir / "in" / "a.pptx"));
    EXPECT_EQ(xml.status, 0) << xml.err;
    const std::string text = testsupport::ReadFileBytes(m_dir / "out.xml");
    EXPECT_NE(text.find("Title=\"Q&amp;A &lt;beta>\"  "), std::string::npos) << text;
    EXPECT_NE(text.find("Company=\"Acme\"  Manager=\"\"  />\r\n</files>\r\n"), std::string::npos) << text;

    const CliRun book = RunCli(m_dir, "export --format xlsx --output " + Quoted(m_dir / "deck.list.xlsx") +
                                          " " + Quoted(m_dir / "in"));
    EXPECT_EQ(book.status, 0) << book.err;
    const std::string sheet =
        testsupport::RunCommand("unzip -p " + Quoted(m_dir / "deck.list.xlsx") + " xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<mergeCell ref=\"A1:T1\"/>"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("r=\"T4\""), std::string::npos) << sheet;
    // Rows streamed out as they are written: texts inline, no shared string table.
    EXPECT_NE(sheet.find("t=\"inlineStr\"><is><t>Q&amp;A &lt;beta&gt;</t></is>"), std::string::npos) << sheet;
    EXPECT_EQ(testsupport::RunCommand("unzip -l " + Quoted(m_dir / "deck.list.xlsx")).find("sharedStrings"),
              std::string::npos);
}

TEST_F(ExportCommandTest, WorkbookIsNeverWrittenUnderXls)
{
    const CliRun run = RunCli(m_dir, "export --format xlsx --output " + Quoted(m_dir / "deck.xls") + " " +
                                         Quoted(m_dir / "in"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("velmora-cli: " + (m_dir / "deck.xls").string() + ": writing " +
                           (m_dir / "deck.xlsx").string() + " instead"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(m_dir / "deck.xls"));
    EXPECT_NE(testsupport::RunCommand("unzip -l " + Quoted(m_dir / "deck.xlsx")).find("xl/workbook.xml"),
              std::string::npos);

    const CliRun failed = RunCli(m_dir, "export --format xlsx --output " + Quoted(m_dir / "no" / "d.xlsx") +
                                            " " + Quoted(m_dir / "in"));
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("Cannot write the spreadsheet " + (m_dir / "no" / "d.xlsx").string() + ": "),
              std::string::npos)
        << failed.err;
}

TEST_F(ExportCommandTest, UnreadablePackageIsReportedAndStillExported)
{
    testsupport::WriteFileBytes(m_dir / "in" / "broken.pptx", std::string(2000, 'x'));
    const CliRun run = RunCli(m_dir, "export --format html --output " + Quoted(m_dir / "out.htm") + " " +
                                         Quoted(m_dir / "in") + " " + Quoted(m_dir / "nowhere"));
    EXPECT_EQ(run.status, 1);
    // The path is said once, at the front of its line.
    const std::string broken = (m_dir / "in" / "broken.pptx").string();
    EXPECT_NE(run.err.find(broken + ": "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(broken, run.err.find(broken) + 1), std::string::npos) << run.err;
    EXPECT_NE(run.err.find((m_dir / "nowhere").string() + ": "), std::string::npos) << run.err;
    const std::string page = testsupport::ReadFileBytes(m_dir / "out.htm");
    EXPECT_NE(page.find(">broken.pptx</td>"), std::string::npos);
    EXPECT_NE(page.find("<H5 Align=\"center\">out</H5>"), std::string::npos);
}

// A slip of the shell (the package where the output was meant) must never turn a deck into an export.
TEST_F(ExportCommandTest, NeverReplacesAPackage)
{
    std::filesystem::create_symlink(m_dir / "in" / "b.pptx", m_dir / "link.htm");
    const std::string a = testsupport::ReadFileBytes(m_dir / "in" / "a.pptx");
    const std::string b = testsupport::ReadFileBytes(m_dir / "in" / "b.pptx");
    const std::string in = " " + Quoted(m_dir / "in");
    for (const std::string& arguments :
         {"--format xlsx --output " + Quoted(m_dir / "in" / "." / "a.pptx") + in,
          "--format html --output " + Quoted(m_dir / "link.htm") + in,
          "--format xlsx --output " + Quoted(m_dir / "in" / "b.pptx") + " " + Quoted(m_dir / "in" / "a.pptx"),
          "--format text --output " + Quoted(m_dir / "new.docx") + in,
          "--format xlsx --output " + Quoted(m_dir / "new.XLSM") + in}) {
        const CliRun run = RunCli(m_dir, "export " + arguments);
        EXPECT_EQ(run.status, 2) << arguments << "\n" << run.err;
        EXPECT_NE(run.err.find("choose"), std::string::npos) << run.err;
        EXPECT_EQ(testsupport::ReadFileBytes(m_dir / "in" / "a.pptx"), a) << arguments;
        EXPECT_EQ(testsupport::ReadFileBytes(m_dir / "in" / "b.pptx"), b) << arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "new.docx"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "new.XLSM"));

    // The format's own kind is no package of the list, and any other file is still replaced.
    testsupport::WriteFileBytes(m_dir / "old.html", "old");
    EXPECT_EQ(RunCli(m_dir, "export --format xlsx --output " + Quoted(m_dir / "r.xlsx") + in).status, 0);
    EXPECT_EQ(RunCli(m_dir, "export --format xlsx --output " + Quoted(m_dir / "s.xls") + in).status, 0);
    EXPECT_EQ(RunCli(m_dir, "export --format html --output " + Quoted(m_dir / "old.html") + in).status, 0);
    EXPECT_TRUE(std::filesystem::exists(m_dir / "r.xlsx"));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "s.xlsx"));
    EXPECT_NE(testsupport::ReadFileBytes(m_dir / "old.html").find("<td"), std::string::npos);
}

// The thumbnail command writes the part's bytes unchanged, or nothing and says why; its output is
// guarded as an export's is.
TEST_F(ExportCommandTest, ThumbnailWritesThePartUnchangedOrNothing)
{
    using testsupport::ReadFileBytes;
    const std::string picture = testsupport::PictureBytes(5000);
    const std::string thumbnail = "docProps/thumbnail.jpeg";
    testsupport::ThumbnailPackage(testsupport::ThumbnailRel(thumbnail))
        .Add(thumbnail, picture)
        .WriteTo(m_dir / "in" / "t.pptx");
    testsupport::ThumbnailPackage(testsupport::ThumbnailRel(thumbnail))
        .Add(thumbnail, std::string(9U << 20, 'a'))
        .WriteTo(m_dir / "in" / "huge.pptx");
    const std::string t = " " + Quoted(m_dir / "in" / "t.pptx");
    testsupport::WriteFileBytes(m_dir / "old.jpeg", "old");
    EXPECT_EQ(RunCli(m_dir, "thumbnail --output " + Quoted(m_dir / "old.jpeg") + t).status, 0);
    EXPECT_TRUE(ReadFileBytes(m_dir / "old.jpeg") == picture);
    EXPECT_EQ(RunCli(m_dir, "thumbnail" + t + " --output - >" + Quoted(m_dir / "out.bin")).status, 0);
    EXPECT_TRUE(ReadFileBytes(m_dir / "out.bin") == picture);

    // No thumbnail, or one too large: exit status 1, the reason, nothing written.
    for (const std::string& package : {"a.pptx", "huge.pptx"}) {
        const CliRun run = RunCli(m_dir, "thumbnail --output " + Quoted(m_dir / "none.jpeg") + " " +
                                             Quoted(m_dir / "in" / package));
        EXPECT_EQ(run.status, 1) << package;
        EXPECT_NE(run.err.find(package + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("thumbnail"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(m_dir / "none.jpeg"));
    }

    // Never over a package, under any name; one package at a time.
    std::filesystem::create_symlink(m_dir / "in" / "t.pptx", m_dir / "link.jpeg");
    const std::string before = ReadFileBytes(m_dir / "in" / "t.pptx");
    for (const std::string& arguments :
         {"--output" + t + t, "--output " + Quoted(m_dir / "link.jpeg") + t,
          "--output " + Quoted(m_dir / "x.docx") + t, "--output " + Quoted(m_dir / "y.jpeg") + t + t}) {
        const CliRun run = RunCli(m_dir, "thumbnail " + arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err, "") << arguments;
        EXPECT_EQ(ReadFileBytes(m_dir / "in" / "t.pptx"), before) << arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "x.docx"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "y.jpeg"));
}

TEST_F(ExportCommandTest, UsageErrorsWriteNothing)
{
    const std::string in = " " + Quoted(m_dir / "in");
    const std::string out = " --output " + Quoted(m_dir / "out.x");
    for (const std::string& arguments :
         {"export --format pdf" + out + in, "export" + out + in, std::string("export --format xml") + in,
          "export --format xml" + out}) {
        const CliRun run = RunCli(m_dir, arguments);
        EXPECT_EQ(run.status, 2) << arguments << "\n" << run.err;
        EXPECT_FALSE(std::filesystem::exists(m_dir / "out.x")) << arguments;
    }
}

TEST_F(ExportCommandTest, UnwritableOutputFailsWithItsReason)
{
    const CliRun run = RunCli(m_dir, "export --format xml --output " + Quoted(m_dir / "no" / "out.xml") +
                                         " " + Quoted(m_dir / "in"));
    EXPECT_EQ(run.status, 1);
    const std::string out = (m_dir / "no" / "out.xml").string();
    EXPECT_EQ(run.err.rfind("velmora-cli: " + out + ": ", 0), 0U) << run.err;
    EXPECT_EQ(run.err.find(out, run.err.find(out) + 1), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
}

// "--output -" writes to standard output what a file would get; a failed write there is a failure.
TEST_F(ExportCommandTest, DashWritesToStandardOutputAndFailsWhenItCannot)
{
    const std::string in = " " + Quoted(m_dir / "in");
    for (const char* format : {"text", "xml", "csv", "html"}) {
        const std::string file = (m_dir / "out").string();
        ASSERT_EQ(
            RunCli(m_dir, std::string("export --format ") + format + " --output '" + file + "'" + in).status,
            0);
        int status = -1;
        const std::string out = testsupport::RunCommand(
            std::string("'") + VELMORA_CLI_BINARY + "' export --format " + format + " --output -" + in,
            &status);
        EXPECT_EQ(status, 0) << format;
        std::string expected = testsupport::ReadFileBytes(file);
        if (std::string(format) == "html") { // the heading comes from the file name
            const std::string heading = "<H5 Align=\"center\">out</H5>";
            ASSERT_NE(expected.find(heading), std::string::npos);
            expected.replace(expected.find(heading), heading.size(),
                             "<H5 Align=\"center\">Document properties</H5>");
        }
        EXPECT_EQ(out, expected) << format;
        EXPECT_FALSE(std::filesystem::exists(m_dir / "-"));
    }
    int status = -1;
    const std::string workbook =
        testsupport::RunCommand(std::string("'") + VELMORA_CLI_BINARY + "' export --format xlsx --output -" +
                                    in + " | od -c | head -1",
                                &status);
    EXPECT_NE(workbook.find("P   K 003 004"), std::string::npos) << workbook;

    for (const char* redirect : {" >&-", " >/dev/full"}) {
        for (const char* format : {"csv", "xlsx"}) {
            const CliRun run =
                RunCli(m_dir, std::string("export --format ") + format + " --output -" + in + redirect);
            EXPECT_EQ(run.status, 1) << redirect << " " << format << ": " << run.err;
            EXPECT_NE(run.err.find("standard output"), std::string::npos) << run.err;
        }
    }
}

constexpr const char* kDeck = "docling_sample.pptx";

// The CSV export is the table show --csv writes, and importing it back changes nothing.
TEST(ExportCsv, IsTheShowTableAndImportsBackUnchanged)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    testsupport::TempDir dir;
    clitest::CopyCorpus(dir.Path());
    const auto packages = testsupport::RealCorpusPackages();
    for (const bool custom : {false, true}) {
        std::vector<std::string> show = {"show", "--csv"};
        std::vector<std::string> exportCsv = {"export", "--format", "csv", "--output", "grid.csv"};
        if (custom) {
            show.push_back("--custom");
            exportCsv.push_back("--custom");
        }
        show.insert(show.end(), packages.begin(), packages.end());
        exportCsv.insert(exportCsv.end(), packages.begin(), packages.end());
        const clitest::CliRun shown = clitest::RunCli(dir.Path(), show, "Europe/Berlin");
        const clitest::CliRun exported = clitest::RunCli(dir.Path(), exportCsv, "Europe/Berlin");
        // Some corpus packages are unreadable on purpose: both list them, with exit status 1.
        EXPECT_EQ(shown.status, 1) << shown.err;
        EXPECT_EQ(exported.status, shown.status) << exported.err;
        const std::string written = testsupport::ReadFileBytes(dir / "grid.csv");
        EXPECT_EQ(written.rfind("FileName,FullPath,FileSize,Title,", 0), 0U) << written.substr(0, 200);
        EXPECT_NE(written.find("\r\n" + std::string(kDeck) + "," + (dir / kDeck).string() + ","),
                  std::string::npos);
        EXPECT_EQ(written, shown.out) << "custom " << custom;
    }
    const clitest::CliRun imported =
        clitest::RunCli(dir.Path(), {"import", "grid.csv", "--dry-run"}, "Europe/Berlin");
    EXPECT_EQ(imported.out, ""); // no change to list
    EXPECT_EQ(imported.err.find("is not"), std::string::npos) << imported.err;
}

} // namespace
} // namespace cli
