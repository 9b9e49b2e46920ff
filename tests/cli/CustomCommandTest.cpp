#include "CliRunner.h"
#include "support/OfficePackages.h"
#include "support/RealCorpus.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace cli {
namespace {

using clitest::CliRun;
using clitest::RunCli;
using clitest::RunPython;
using testsupport::CoreXml;
using testsupport::CustomProperty;
using testsupport::CustomXml;
using testsupport::OfficePackage;
using testsupport::ReadFileBytes;
namespace fs = std::filesystem;

const std::string kChecker = std::string(VELMORA_SOURCE_DIR) + "/tests/cli/check_custom_part.py";
const std::string kCompareCustom = std::string(VELMORA_SOURCE_DIR) + "/tests/cli/compare_custom_rows.py";
const std::string kSignatureWarning =
    ": the package is digitally signed; its signature may no longer verify\n";

class CustomCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        OfficePackage("docx", CoreXml("<dc:title>Doc</dc:title>"), "",
                      CustomXml(CustomProperty(2, "Client", "<vt:lpwstr>Acme</vt:lpwstr>") +
                                CustomProperty(4, "List", "<vt:vector size=\"0\" baseType=\"lpwstr\"/>")))
            .WriteTo(m_dir / "a.docx");
        OfficePackage("xlsx", CoreXml("<dc:title>Book</dc:title>"), "", "").WriteTo(m_dir / "b.xlsx");
        OfficePackage("pptx", CoreXml("<dc:title>Deck</dc:title>"), "", "").WriteTo(m_dir / "c.pptx");
    }

    CliRun Run(const std::vector<std::string>& arguments) const { return RunCli(m_dir.Path(), arguments); }

    void ExpectCustomPart(const std::string& package, const std::string& expectedJson) const
    {
        testsupport::WriteFileBytes(m_dir / "expected.json", expectedJson);
        std::string output;
        EXPECT_EQ(
            RunPython({kChecker, (m_dir / package).string(), (m_dir / "expected.json").string()}, &output), 0)
            << output;
    }

    testsupport::TempDir m_dir;
};

TEST_F(CustomCommandTest, SetCreatesRegistersAndNumbersThePartAsASecondReaderSeesIt)
{
    const CliRun run =
        Run({"set", "--custom", "Client=R&D <\"x\"> \xC3\xA9", "--custom", "Count:int=42", "--custom",
             "Ratio:real=-2.5e3", "--custom", "Done:bool=TRUE", "--custom", "Due:date=2024-03-01 10:20:30",
             "--custom", "a:b:text=x=y", "--set", "Subject=S", "b.xlsx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "b.xlsx: saved\n");
    const std::string fmtid = "\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\"";
    ExpectCustomPart("b.xlsx", "[[\"Client\", 2, " + fmtid + ", \"lpwstr\", \"R&D <\\\"x\\\"> \\u00e9\"]," +
                                   "[\"Count\", 3, " + fmtid + ", \"i4\", \"42\"]," + "[\"Ratio\", 4, " +
                                   fmtid + ", \"r8\", \"-2.5e3\"]," + "[\"Done\", 5, " + fmtid +
                                   ", \"bool\", \"true\"]," + "[\"Due\", 6, " + fmtid +
                                   ", \"filetime\", \"2024-03-01T10:20:30Z\"]," + "[\"a:b\", 7, " + fmtid +
                                   ", \"lpwstr\", \"x=y\"]]");

    const CliRun change = Run({"set", "--custom", "client=New", "--custom-clear", "COUNT", "b.xlsx"});
    ASSERT_EQ(change.status, 0) << change.err;
    ExpectCustomPart("b.xlsx", "[[\"Client\", 2, " + fmtid + ", \"lpwstr\", \"New\"]," + "[\"Ratio\", 4, " +
                                   fmtid + ", \"r8\", \"-2.5e3\"]," + "[\"Done\", 5, " + fmtid +
                                   ", \"bool\", \"true\"]," + "[\"Due\", 6, " + fmtid +
                                   ", \"filetime\", \"2024-03-01T10:20:30Z\"]," + "[\"a:b\", 7, " + fmtid +
                                   ", \"lpwstr\", \"x=y\"]]");
}

TEST_F(CustomCommandTest, BadCustomArgumentsAreUsageErrorsThatTouchNoFile)
{
    const std::string before = ReadFileBytes(m_dir / "a.docx");
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--custom", "NoValue"},
             {"--custom", "a:b=c"},
             {"--custom", "N:int=1.5"},
             {"--custom", "N:bool=maybe"},
             {"--custom", "N:date=2024-02-30 00:00:00"},
             {"--custom", "=v"},
             {"--custom", "N=1", "--custom-clear", "n"},
             {"--ext", "doc", "--custom", "N=1"},
         }) {
        std::vector<std::string> full = {"set"};
        full.insert(full.end(), arguments.begin(), arguments.end());
        full.push_back("a.docx");
        const CliRun run = Run(full);
        EXPECT_EQ(run.status, 2) << arguments[1] << "\n" << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(ReadFileBytes(m_dir / "a.docx"), before);

    const CliRun readOnly = Run({"set", "--custom", "List=x", "a.docx"});
    EXPECT_EQ(readOnly.status, 1);
    EXPECT_EQ(readOnly.err, "velmora-cli: a.docx: List: values of the type vt:vector cannot be edited\n"
                            "velmora-cli: 0 saved, 0 unchanged, 1 failed\n");
    EXPECT_EQ(ReadFileBytes(m_dir / "a.docx"), before);
}

TEST_F(CustomCommandTest, ShowAddsCustomPropertiesOnlyWhenAsked)
{
    const CliRun plain = Run({"show", "--json", "a.docx", "b.xlsx"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.find("Custom"), std::string::npos);

    const CliRun json = Run({"show", "--json", "--custom", "a.docx", "b.xlsx"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find(
                  "  \"Error\": null,\n  \"Custom\": {\n   \"Client\": {\"type\": \"vt:lpwstr\", "
                  "\"value\": \"Acme\"},\n   \"List\": {\"type\": \"vt:vector\", \"value\": \"\"}\n  }\n }"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"Error\": null,\n  \"Custom\": {}\n }"), std::string::npos) << json.out;

    const CliRun csv = Run({"show", "--csv", "--custom", "a.docx", "b.xlsx"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find(",Manager,Error,Custom:Client,Custom:List\r\n"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",,Acme,\r\n"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("b.xlsx,"), std::string::npos);

    const CliRun table = Run({"show", "--custom", "a.docx"});
    ASSERT_EQ(table.status, 0) << table.err;
    const std::string header = table.out.substr(0, table.out.find('\n'));
    EXPECT_EQ(header.substr(header.size() - std::string("Manager  Custom:Client  Custom:List").size()),
              "Manager  Custom:Client  Custom:List");
}

TEST_F(CustomCommandTest, AnUnreadableCustomPartIsAnErrorOnlyWhenCustomPropertiesAreAsked)
{
    OfficePackage("docx", CoreXml("<dc:title>T</dc:title>"), "", "<Properties").WriteTo(m_dir / "bad.docx");
    EXPECT_EQ(Run({"show", "bad.docx"}).status, 0);
    const CliRun custom = Run({"show", "--custom", "bad.docx"});
    EXPECT_EQ(custom.status, 1);
    EXPECT_EQ(custom.err.rfind("velmora-cli: bad.docx: docProps/custom.xml: ", 0), 0u) << custom.err;
}

TEST_F(CustomCommandTest, FolderScansTakeTheExtensionsAskedFor)
{
    const auto shown = [&](const std::vector<std::string>& arguments) {
        std::vector<std::string> full = {"show", "--csv"};
        full.insert(full.end(), arguments.begin(), arguments.end());
        const CliRun run = Run(full);
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::string> names;
        for (std::size_t at = run.out.find("\r\n") + 2; at < run.out.size();
             at = run.out.find("\r\n", at) + 2) {
            names.push_back(run.out.substr(at, run.out.find(',', at) - at));
        }
        return names;
    };
    EXPECT_EQ(shown({"."}), (std::vector<std::string>{"c.pptx"}));
    EXPECT_EQ(shown({"--ext", "docx,XLSX", "."}), (std::vector<std::string>{"a.docx", "b.xlsx"}));
    EXPECT_EQ(shown({"--ext", "office", "."}), (std::vector<std::string>{"a.docx", "b.xlsx", "c.pptx"}));
    EXPECT_EQ(shown({"b.xlsx"}), (std::vector<std::string>{"b.xlsx"})); // named files: any extension
    const CliRun bad = Run({"export", "--format", "text", "--output", "x.txt", "--ext", "pdf", "."});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("\"pdf\" is not a package extension"), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(m_dir / "x.txt"));

    // An import matching by file name scans its folders the same way.
    testsupport::WriteFileBytes(m_dir / "t.csv", "FileName,Title\nb.xlsx,Imported\n");
    EXPECT_NE(Run({"import", "t.csv", "."}).err.find("no package at b.xlsx"), std::string::npos);
    const CliRun imported = Run({"import", "t.csv", "--ext", "xlsx", "."});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("b.xlsx: saved\n"), std::string::npos) << imported.out;
    EXPECT_EQ(shown({"--ext", "xlsx", "."}).size(), 1u);
    EXPECT_NE(Run({"show", "--json", "b.xlsx"}).out.find("\"Title\": \"Imported\""), std::string::npos);
}

TEST_F(CustomCommandTest, SavingASignedPackageWarnsOnceOnStandardError)
{
    OfficePackage("docx", CoreXml("<dc:title>T</dc:title>"), "", "", true).WriteTo(m_dir / "signed.docm");
    const CliRun run =
        Run({"set", "--set", "Title=New", "--custom", "Checked:bool=1", "signed.docm", "a.docx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "signed.docm: saved\na.docx: saved\n");
    EXPECT_EQ(run.err, "velmora-cli: signed.docm" + kSignatureWarning + "velmora-cli: 2 saved, 0 unchanged, 0 failed\n");

    testsupport::WriteFileBytes(m_dir / "t.csv", "FileName,Title\nsigned.docm,Imported\n");
    const CliRun imported = Run({"import", "t.csv", "signed.docm"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "velmora-cli: signed.docm" + kSignatureWarning + "velmora-cli: 1 saved, 0 unchanged, 0 failed\n");
}

TEST_F(CustomCommandTest, ExportAddsSafeUniqueAttributesInEveryFormat)
{
    OfficePackage("pptx", "", "",
                  CustomXml(CustomProperty(2, "a b", "<vt:lpwstr>1</vt:lpwstr>") +
                            CustomProperty(3, "a:b", "<vt:lpwstr>2</vt:lpwstr>") +
                            CustomProperty(5, "\xE6\x97\xA5 &lt;x&gt;", "<vt:i4>3</vt:i4>")))
        .WriteTo(m_dir / "d.pptx");
    const CliRun xml =
        Run({"export", "--format", "xml", "--custom", "--output", "out.xml", "a.docx", "d.pptx"});
    ASSERT_EQ(xml.status, 0) << xml.err;
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file((m_dir / "out.xml").c_str()));
    const pugi::xml_node second = doc.child("files").child("file").next_sibling("file");
    EXPECT_STREQ(second.attribute("Custom_a_b").value(), "1");
    EXPECT_STREQ(second.attribute("Custom_a_b_2").value(), "2");
    EXPECT_STREQ(second.attribute("Custom_\xE6\x97\xA5__x_").value(), "3");
    EXPECT_STREQ(doc.child("files").child("file").attribute("Custom_Client").value(), "Acme");
    EXPECT_STREQ(second.attribute("Title").value(), "");

    for (const char* format : {"text", "html", "xlsx"}) {
        const CliRun run = Run(
            {"export", "--format", format, "--custom", "--output", std::string("out.") + format, "d.pptx"});
        ASSERT_EQ(run.status, 0) << format << run.err;
    }
    const std::string text = ReadFileBytes(m_dir / "out.text");
    EXPECT_NE(text.find("Manager  ,  Custom:a b  ,  Custom:a:b  ,  Custom:\xE6\x97\xA5 <x>  ,  \r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(ReadFileBytes(m_dir / "out.html").find("\xE6\x97\xA5 &lt;x&gt;"), std::string::npos);
}

// The custom parts of the real packages (thirteen of them have one) as a second reader sees them.
TEST(CustomCorpus, ShowCustomMatchesASecondReader)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    testsupport::TempDir dir;
    std::vector<std::string> arguments = {"show", "--json", "--custom"};
    for (const std::string& name : testsupport::RealCorpusPackages()) {
        arguments.push_back(name);
    }
    const CliRun run = RunCli(testsupport::RealCorpusDir(), arguments);
    EXPECT_EQ(run.status, 1); // the corpus holds packages that cannot be read
    testsupport::WriteFileBytes(dir / "rows.json", run.out);
    std::string output;
    EXPECT_EQ(RunPython({kCompareCustom, (dir / "rows.json").string(), testsupport::RealCorpusDir().string()},
                        &output),
              0)
        << output;
}

} // namespace
} // namespace cli
