// Inputs that the fuzzers found to crash, hang or break an invariant, rebuilt from generators and
// checked the way the fuzzers check them. Work that once hung runs in a child under a watchdog.
#include "archive/WildcardMatch.h"
#include "engine/parts/ReadProperties.h"
#include "engine/parts/WriteProperties.h"
#include "reliability/ChildProcess.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "xml/EXmlError.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace reliability {
namespace {

using testsupport::Repeat;

std::string Flag(bool value)
{
    return value ? "1" : "0";
}

// Each star retried every later position for every earlier star: exponential in the star count.
TEST(FuzzRegression, WildcardWithManyStarsDoesNotBacktrackExponentially)
{
    const ChildResult run = RunInChild(
        [] {
            const std::string pattern = Repeat("*a", 40) + "b";
            const std::string text = Repeat("a", 100);
            return Report{{"miss", Flag(archive::WildcardMatch(pattern, text))},
                          {"hit", Flag(archive::WildcardMatch(pattern, text + "B"))},
                          {"classes", Flag(archive::WildcardMatch(Repeat("*<a-b>", 40) + "c", text))}};
        },
        30);
    ASSERT_TRUE(run.exited) << "signal " << run.signal << (run.signal == SIGALRM ? " (hang)" : "");
    EXPECT_EQ(run.report.at("miss"), "0");
    EXPECT_EQ(run.report.at("hit"), "1");
    EXPECT_EQ(run.report.at("classes"), "0");
}

// What became of a part under the check of the property fuzzer.
enum class Fate
{
    RefusedOnRead, // the part does not read
    EditRefused,   // the part reads, but an edit of Title cannot be written into it
    EditReadsBack  // the edited part is written and reads back with the edit
};

std::ostream& operator<<(std::ostream& out, Fate fate)
{
    constexpr const char* kNames[] = {"refused on read", "edit refused", "edit reads back"};
    return out << kNames[static_cast<int>(fate)];
}

// The check of the property fuzzer: a part that reads either takes an edit of Title or refuses it,
// and what is written reads back with the edit. A written part that does not read back fails the
// test; each case then says which of the other fates it expects.
Fate EditAndReadBack(const std::string& coreXml)
{
    engine::DocumentRecord record;
    try {
        engine::ReadCorePropertiesXml(record, coreXml);
    } catch (const xml::EXmlError&) {
        return Fate::RefusedOnRead;
    }
    record.Value(0) = "Edited";
    record.SetChanged(0, true);
    std::string written;
    try {
        written = engine::WriteCorePropertiesXml(record, coreXml);
    } catch (const std::runtime_error&) {
        return Fate::EditRefused;
    }
    engine::DocumentRecord reread;
    try {
        engine::ReadCorePropertiesXml(reread, written);
    } catch (const xml::EXmlError& e) {
        ADD_FAILURE() << "the saved part does not read: " << e.what() << "\n" << written;
    }
    EXPECT_EQ(reread.Value(0), "Edited") << written;
    return Fate::EditReadsBack;
}

// pugixml turns a character reference to a value XML does not allow (past U+10FFFF it wraps) into
// bytes that are not UTF-8; the part read, but its save could not be read again.
TEST(FuzzRegression, CharacterReferencesToInvalidCharactersAreRefused)
{
    for (const std::string reference : {"&#xdddd2dddddddddddddd41;", "&#x110000;", "&#xD800;", "&#xDFFF;",
                                        "&#0;", "&#99999999999;", "&#1;", "&#x1F;"}) {
        const std::string xml = testsupport::CoreXml("<dc:title>a" + reference + "b</dc:title>");
        engine::DocumentRecord record;
        EXPECT_THROW(engine::ReadCorePropertiesXml(record, xml), xml::EXmlError) << reference;
        EXPECT_EQ(EditAndReadBack("<r><dc:title>" + reference + "</dc:title></r>"), Fate::RefusedOnRead)
            << reference;
    }
    engine::DocumentRecord record;
    engine::ReadCorePropertiesXml(record,
                                  testsupport::CoreXml("<dc:title>&#x41;&#66;&#x10FFFF;&#9;</dc:title>"));
    EXPECT_EQ(record.Value(0), "AB\xf4\x8f\xbf\xbf\t");
}

// Control characters in attribute values read, and their save could not be read again; they are
// refused on read.
TEST(FuzzRegression, ControlCharactersInAttributesAreRefused)
{
    EXPECT_EQ(EditAndReadBack("<?xml version=\"1.0\"?>\r\n<cp:es xmlns:cp=\"a\x19"
                              "b\"/>"),
              Fate::RefusedOnRead);
    EXPECT_EQ(EditAndReadBack(testsupport::CoreXml("<dc:title a=\"\x01\x1f\">t</dc:title>")),
              Fate::RefusedOnRead);
}

// The service and the parser ended this document type declaration in different places; the kept
// prolog then held the root's start tag, and the saved part repeated it.
TEST(FuzzRegression, MalformedDocumentTypeDeclarationIsRefusedOrSurvivesASave)
{
    const std::string xml =
        "<?xml version=\"1.0\"?><!DOCTYPE a [<!EN666>6TITY e \"v\"6666666TIes>TY e \"v\"][>]H"
        "<r><dc:title>\"1;</dc:title></r>";
    EXPECT_EQ(EditAndReadBack(xml), Fate::RefusedOnRead);
    std::string withPi = testsupport::CoreXml("<dc:title>t</dc:title>");
    withPi.insert(withPi.find("?>") + 2, "<!DOCTYPE a [<?p ]>?>]>");
    EXPECT_EQ(EditAndReadBack(withPi), Fate::EditReadsBack);
    EXPECT_EQ(EditAndReadBack(
                  std::string("<?ml rs-ion=\"1.0\"2?><!DOCTYPE at\x04"
                              "<!EN66663333.332") +
                  Repeat("/", 8) +
                  std::string("66666wwwwwyes\"?l><![CDATA[x]]>><!--c--><cp:coreProperties >?p?></cp:coreP") +
                  Repeat("\x0e", 37) + std::string("roperties>666666626>") + Repeat("6", 18) +
                  std::string("T`wwwwwwwuwwwq.") + Repeat("w", 21) + std::string("createdwwwr") +
                  Repeat("w", 15) + std::string("6yes\"?l><![CDATA[x]]>><!--c666") + Repeat("w", 35) +
                  std::string("TY e \"v\">]><r><dc:title>\"e;&amp;&#x46;</dc:title></r>--><cp:coreProperties "
                              ">?p?></cp:coreProperties>")),
              Fate::RefusedOnRead);
}

// The part declared the Dublin Core namespace under a prefix no element name can carry; the writer
// used it for a new title and the saved part could not be read.
TEST(FuzzRegression, UnusableDeclaredPrefixIsNotUsedForNewElements)
{
    const std::string xml =
        "<?xml version=\"1.0\"?><cp:coreProperties "
        "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:2dc=\"http://purl.org/dc/elements/1.1/\"><cp:revision>1</cp:revision>"
        "</cp:coreProperties>";
    EXPECT_EQ(EditAndReadBack(xml), Fate::EditReadsBack);
}

// The parser stopped at a NUL byte as if the document ended there; the service kept the rest as
// trailing text and wrote it back, and the saved part could not be read.
TEST(FuzzRegression, NulBytesAreRefused)
{
    const char raw[] = "<P/>\t\x14\0t<?x \"?>\r<Proti/><??d\t?>\rd?>\r";
    const std::string xml(raw, sizeof raw - 1);
    EXPECT_EQ(EditAndReadBack(xml), Fate::RefusedOnRead);
    engine::DocumentRecord record;
    const char title[] = "<dc:title>a\0b</dc:title>";
    EXPECT_THROW(
        engine::ReadCorePropertiesXml(record, testsupport::CoreXml(std::string(title, sizeof title - 1))),
        xml::EXmlError);
}

// A processing instruction after the root held "<?" and "<!" in its data; the service's own scan
// for the end of the root stopped inside it, and a document every conforming parser reads was
// refused. The root is now delimited where the conforming parser finds it.
TEST(FuzzRegression, MarkupLikeTextInsideATrailingInstructionIsKept)
{
    const std::string tail = "\r<?xel\t<!@@@\r<?xel sio?>\r\n<?x <x ?>\r\n";
    const std::string xml = testsupport::CoreXml("<dc:title>t</dc:title>") + tail;
    engine::DocumentRecord record;
    ASSERT_NO_THROW(engine::ReadCorePropertiesXml(record, xml));
    record.Value(0) = "Edited";
    record.SetChanged(0, true);
    const std::string written = engine::WriteCorePropertiesXml(record, xml);
    EXPECT_EQ(written.substr(written.size() - tail.size()), tail);
    engine::DocumentRecord reread;
    engine::ReadCorePropertiesXml(reread, written);
    EXPECT_EQ(reread.Value(0), "Edited");
}

} // namespace
} // namespace reliability
