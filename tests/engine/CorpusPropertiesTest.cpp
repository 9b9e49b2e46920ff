// The seventeen properties of every real-world package, read from its parts, against the
// expectations made by an independent reader in two time zones.
#include "ScopedTimeZone.h"
#include "engine/parts/ReadProperties.h"
#include "engine/parts/WriteProperties.h"
#include "engine/record/DateConvert.h"
#include "engine/record/PropertyValueRule.h"
#include "support/CorpusParts.h"
#include "support/RealCorpus.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace engine {
namespace {

using Expectations = std::map<std::string, std::map<std::string, std::string>>;

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

// Packages that can be read, with their expected property texts by display name.
Expectations LoadExpectations(const std::string& file)
{
    const std::string script =
        "import json,sys\n"
        "for r in json.load(open(sys.argv[1])):\n"
        "  if r['Error'] is None:\n"
        "    for k,v in r.items():\n"
        "      if isinstance(v,str): print(r['FileName'],k,v.encode().hex() or '-',sep='\\t')\n";
    int exitCode = -1;
    const std::string output =
        testsupport::RunCommand("python3 -c " + testsupport::ShellQuote(script) + " " +
                                    testsupport::ShellQuote((testsupport::RealCorpusDir() / file).string()),
                                &exitCode);
    EXPECT_EQ(exitCode, 0);
    Expectations expected;
    std::istringstream lines(output);
    std::string package;
    std::string name;
    std::string value;
    while (std::getline(lines, package, '\t') && std::getline(lines, name, '\t') &&
           std::getline(lines, value)) {
        expected[package][name] = value == "-" ? std::string() : FromHex(value);
    }
    return expected;
}

class CorpusProperties : public testing::TestWithParam<std::pair<const char*, const char*>>
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<testsupport::TempDir>();
        if (testsupport::HaveRealCorpus()) {
            s_parts = testsupport::ExtractCorpusParts(s_dir->Path());
        }
    }

    static void TearDownTestSuite() { s_dir.reset(); }

    static inline std::unique_ptr<testsupport::TempDir> s_dir;
    static inline std::vector<testsupport::CorpusPart> s_parts;
};

TEST_P(CorpusProperties, MatchTheIndependentReader)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    ScopedTimeZone zone(GetParam().first);
    const Expectations expected = LoadExpectations(GetParam().second);
    ASSERT_GE(expected.size(), 50U);
    std::map<std::string, DocumentRecord> records;
    for (const auto& part : s_parts) {
        if (part.Status != "ok" || expected.count(part.Package) == 0) {
            continue;
        }
        const std::string text = testsupport::ReadFileBytes(part.File);
        if (part.Kind == "core") {
            ReadCorePropertiesXml(records[part.Package], text);
        } else if (part.Kind == "app") {
            ReadAppPropertiesXml(records[part.Package], text);
        }
    }
    for (const auto& [package, values] : expected) {
        const DocumentRecord& record = records[package];
        for (std::size_t p = 0; p < kPropertyCount; ++p) {
            // The reader writes every date as local text; a date in the hour the clocks show twice
            // is kept as its instant, whose local text must be the expected one.
            const std::string& value = record.Value(p);
            const bool instantKept =
                IsDateProperty(p) && !HasLocalDateForm(value) && StoredDateToRecordText(value) == value;
            EXPECT_EQ(instantKept ? StoredDateToLocalText(value).value() : value,
                      values.at(std::string(DisplayName(p))))
                << package << " " << DisplayName(p);
        }
    }
}

// Every real part takes every kind of edit and reads back as written; flagged but unchanged
// values leave the part byte for byte.
TEST_P(CorpusProperties, EditsReadBackAndUnchangedPartsStayAsTheyAre)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    ScopedTimeZone zone(GetParam().first);
    int edited = 0;
    for (const auto& part : s_parts) {
        if (part.Status != "ok" || (part.Kind != "core" && part.Kind != "app")) {
            continue;
        }
        SCOPED_TRACE(part.Package + " " + part.Kind);
        const bool core = part.Kind == "core";
        const std::string text = testsupport::ReadFileBytes(part.File);
        DocumentRecord record;
        (core ? ReadCorePropertiesXml : ReadAppPropertiesXml)(record, text);
        const std::size_t first = core ? 0 : kCoreCount;
        const std::size_t last = core ? kCoreCount : kPropertyCount;
        for (std::size_t p = first; p < last; ++p) {
            record.SetChanged(p, true);
        }
        EXPECT_EQ((core ? WriteCorePropertiesXml : WriteAppPropertiesXml)(record, text), text);

        for (std::size_t p = first; p < last; ++p) {
            record.Value(p) = IsDateProperty(p)         ? "2001-02-03 04:05:0" + std::to_string(p)
                              : p % 3 == 0              ? std::string()
                              : IsDigitsOnlyProperty(p) ? std::to_string(p * 7)
                                                        : "v\xC3\xA4 & <" + std::to_string(p) + ">";
        }
        const std::string written = (core ? WriteCorePropertiesXml : WriteAppPropertiesXml)(record, text);
        DocumentRecord reread;
        (core ? ReadCorePropertiesXml : ReadAppPropertiesXml)(reread, written);
        for (std::size_t p = first; p < last; ++p) {
            EXPECT_EQ(reread.Value(p), record.Value(p)) << DisplayName(p);
        }
        ++edited;
    }
    EXPECT_GE(edited, 100);
}

INSTANTIATE_TEST_SUITE_P(Zones,
                         CorpusProperties,
                         testing::Values(std::make_pair("UTC", "expected.json"),
                                         std::make_pair("Europe/Berlin", "expected-berlin.json")));

} // namespace
} // namespace engine
