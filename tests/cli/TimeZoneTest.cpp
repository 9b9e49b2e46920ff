#include "CliRunner.h"
#include "support/PackageBuilder.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// Tables across time zones: the CSV carries each date with its offset, an import reads offsets and
// takes --zone for dates without one, and export --utc writes instants in every format.
namespace cli {
namespace {

namespace fs = std::filesystem;
using clitest::CliRun;
using clitest::RunCli;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

// a.pptx: a summer and a winter date, the first instant of the hour Berlin shows twice, a custom date
// at the second instant of that hour and a custom text that looks like a date. b.pptx: a date text
// that names no date, kept as stored.
class TimeZoneTest : public testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::Deck(
            testsupport::CoreXml(
                "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2024-05-06T05:08:09Z</dcterms:created>"
                "<cp:lastPrinted>2024-01-02T09:00:00Z</cp:lastPrinted>"
                "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">2024-10-27T00:30:00Z"
                "</dcterms:modified><dc:title>2024-01-02 10:00:00</dc:title>"),
            testsupport::AppXml("<Company>Acme</Company>"), "")
            .WriteTo(m_dir / "a.pptx");
        testsupport::Deck(testsupport::CoreXml("<dcterms:created>someday</dcterms:created>"),
                          testsupport::AppXml(""), "")
            .WriteTo(m_dir / "b.pptx");
        const CliRun set = Run({"set", "--no-journal", "--custom", "Due:date=2024-10-27T01:30:00Z",
                                "--custom", "Note=2024-01-02 10:00:00", "a.pptx"});
        ASSERT_EQ(set.status, 0) << set.err;
    }

    CliRun Run(const std::vector<std::string>& arguments, const std::string& zone = "UTC") const
    {
        return RunCli(m_dir.Path(), arguments, zone,
                      "XDG_STATE_HOME=" + clitest::Quoted((m_dir / "state").string()));
    }

    [[nodiscard]] std::string Bytes(const char* name) const { return ReadFileBytes(m_dir / name); }

    testsupport::TempDir m_dir;
};

// The CSV export and show --csv write each date with the offset in force at that instant, the two
// instants of the repeated hour each with its own; texts that are no dates stay as they are.
TEST_F(TimeZoneTest, CsvDatesCarryTheirOffset)
{
    const CliRun exported =
        Run({"export", "--format", "csv", "--custom", "--output", "-", "a.pptx", "b.pptx"}, "Europe/Berlin");
    ASSERT_EQ(exported.status, 0) << exported.err;
    const CliRun shown = Run({"show", "--csv", "--custom", "a.pptx", "b.pptx"}, "Europe/Berlin");
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, exported.out);
    for (const char* field :
         {",2024-01-02 10:00:00,", ",2024-01-02T10:00:00+01:00,", ",2024-05-06T07:08:09+02:00,",
          ",2024-10-27T02:30:00+02:00,", ",2024-10-27T02:30:00+01:00,", ",someday,"}) {
        EXPECT_NE(exported.out.find(field), std::string::npos) << field << "\n" << exported.out;
    }
    // The custom text keeps its text, the custom date (the last column) its instant.
    EXPECT_NE(exported.out.find(",2024-10-27T02:30:00+01:00,2024-01-02 10:00:00\r\n"), std::string::npos)
        << exported.out;
    // The JSON and the table keep the local form.
    EXPECT_NE(Run({"show", "--json", "a.pptx"}, "Europe/Berlin")
                  .out.find("\"CreatedTime\": \"2024-05-06 07:08:09\""),
              std::string::npos);
    EXPECT_NE(Run({"show", "a.pptx"}, "Europe/Berlin").out.find("2024-05-06 07:08:09"), std::string::npos);
}

// A table exported in one zone and imported in another changes nothing, byte for byte.
TEST_F(TimeZoneTest, ATableExportedInOneZoneImportsUnchangedInAnother)
{
    ASSERT_EQ(
        Run({"export", "--format", "csv", "--custom", "--output", "grid.csv", "a.pptx"}, "Europe/Berlin")
            .status,
        0);
    const std::string a = Bytes("a.pptx");
    for (const char* zone : {"UTC", "America/New_York", "Asia/Kolkata"}) {
        const CliRun dry = Run({"import", "--dry-run", "grid.csv"}, zone);
        EXPECT_EQ(dry.status, 0) << zone << dry.err;
        EXPECT_EQ(dry.out, "") << zone; // no change to list
        const CliRun run = Run({"import", "grid.csv"}, zone);
        EXPECT_EQ(run.status, 0) << zone << run.err;
        EXPECT_EQ(run.out, (m_dir / "a.pptx").string() + ": unchanged\n") << zone;
        EXPECT_EQ(Bytes("a.pptx"), a) << zone;
    }
    // --zone changes nothing for dates that carry their offset.
    const CliRun zoned = Run({"import", "--zone", "Pacific/Auckland", "grid.csv"}, "UTC");
    EXPECT_EQ(zoned.status, 0) << zoned.err;
    EXPECT_EQ(zoned.out, (m_dir / "a.pptx").string() + ": unchanged\n");
    EXPECT_EQ(Bytes("a.pptx"), a);
}

// An older table, with local times and no offset, is read in the zone --zone names.
TEST_F(TimeZoneTest, LocalTimesAreReadInTheZoneGiven)
{
    WriteFileBytes(m_dir / "old.csv", "FullPath,CreatedTime,LastPrinted,ModifiedTime,Custom:Due\r\n"
                                      "a.pptx,2024-05-06 09:00:00,2024-01-02,2024-10-27 02:30:00,"
                                      "2024-07-01T12:00:00-04:00\r\n");
    const CliRun run = Run({"import", "--zone", "Europe/Berlin", "old.csv"}, "UTC");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string shown = Run({"show", "--json", "--utc", "--custom", "a.pptx"}, "Asia/Kolkata").out;
    for (const char* date :
         {"\"CreatedTime\": \"2024-05-06T07:00:00Z\"", "\"LastPrinted\": \"2024-01-01T23:00:00Z\"",
          // The repeated hour read as a local time: its earlier instant.
          "\"ModifiedTime\": \"2024-10-27T00:30:00Z\"", "\"value\": \"2024-07-01T16:00:00Z\""}) {
        EXPECT_NE(shown.find(date), std::string::npos) << date << "\n" << shown;
    }
}

// An unknown zone is a usage error named before anything is read: not even a missing table is noticed.
TEST_F(TimeZoneTest, AnUnknownZoneIsRefusedBeforeAnythingIsRead)
{
    WriteFileBytes(m_dir / "t.csv", "FullPath,Title\r\na.pptx,Changed\r\n");
    const std::string a = Bytes("a.pptx");
    for (const char* zone : {"Nowhere/Nope", "Europe", "../zoneinfo/UTC", "CET-1CEST", ""}) {
        for (const char* table : {"t.csv", "missing.csv"}) {
            const CliRun run = Run({"import", "--zone", zone, table});
            EXPECT_EQ(run.status, 2) << zone << run.err;
            EXPECT_NE(run.err.find(std::string("unknown time zone \"") + zone + "\""), std::string::npos)
                << run.err;
            EXPECT_EQ(run.err.find("missing.csv"), std::string::npos) << run.err;
            EXPECT_EQ(run.out, "");
        }
    }
    EXPECT_EQ(Bytes("a.pptx"), a);
    EXPECT_FALSE(fs::exists(m_dir / "state"));
}

// export --utc writes every date as its instant in UTC in each format; without it, HTML, text, XML
// and the workbook keep the local form.
TEST_F(TimeZoneTest, ExportUtcWritesInstantsInEveryFormat)
{
    for (const char* format : {"csv", "html", "text", "xml", "xlsx"}) {
        const std::string file = std::string("out.") + format;
        std::string written[2];
        for (const bool utc : {false, true}) {
            std::vector<std::string> arguments = {"export", "--format", format, "--custom", "--output", file};
            if (utc) {
                arguments.push_back("--utc");
            }
            arguments.insert(arguments.end(), {"a.pptx", "b.pptx"});
            const CliRun run = Run(arguments, "Europe/Berlin");
            ASSERT_EQ(run.status, 0) << format << run.err;
            written[utc ? 1 : 0] =
                std::string(format) == "xlsx"
                    ? testsupport::RunCommand("unzip -p " + clitest::Quoted((m_dir / file).string()) +
                                              " xl/sharedStrings.xml xl/worksheets/sheet1.xml")
                    : Bytes(file.c_str());
        }
        const std::string& local = written[0];
        const std::string& utc = written[1];
        for (const char* instant : {"2024-05-06T05:08:09Z", "2024-01-02T09:00:00Z", "2024-10-27T00:30:00Z",
                                    "2024-10-27T01:30:00Z"}) {
            EXPECT_NE(utc.find(instant), std::string::npos) << format << " " << instant << "\n" << utc;
        }
        EXPECT_EQ(utc.find("+02:00"), std::string::npos) << format;
        EXPECT_EQ(utc.find("2024-05-06 07:08:09"), std::string::npos) << format;
        EXPECT_NE(utc.find("someday"), std::string::npos) << format;
        EXPECT_NE(utc.find("2024-01-02 10:00:00"), std::string::npos) << format; // the title and custom text
        if (std::string(format) != "csv") {
            EXPECT_NE(local.find("2024-05-06 07:08:09"), std::string::npos) << format << "\n" << local;
            EXPECT_EQ(local.find("2024-05-06T05:08:09Z"), std::string::npos) << format;
        }
    }
}

} // namespace
} // namespace cli
