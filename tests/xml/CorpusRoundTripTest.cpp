#include "support/CorpusParts.h"
#include "support/RealCorpus.h"
#include "support/TempDir.h"
#include "xml/TXMLDocument.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace xml {
namespace {

// The tree as a plain XML parser sees it, printed without layout choices of its own.
std::string Canonical(const std::string& text)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(text.data(), text.size(), pugi::parse_full | pugi::parse_ws_pcdata));
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

// pugixml writes empty elements as <a/>, no blank before "/>", one blank between attributes,
// double quotes, and characters instead of character references. A part written in other forms
// comes back equivalent but not byte for byte.
bool InWriterForm(const std::string& text)
{
    for (const char* form : {"></", " />", "&#", "'", "  ", "\t", "\n<", "\n "}) {
        const auto at = text.find(form);
        // Line breaks count only inside the root; the layout around it is kept as loaded.
        if (at != std::string::npos && (form[0] != '\n' || at > text.find("?>") + 4)) {
            return false;
        }
    }
    return true;
}

TEST(CorpusRoundTrip, EveryPartComesBackUnchanged)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    testsupport::TempDir dir;
    int checked = 0;
    int identical = 0;
    for (const auto& part : testsupport::ExtractCorpusParts(dir.Path())) {
        if (part.Status != "ok") {
            continue;
        }
        SCOPED_TRACE(part.Package + " " + part.Kind);
        const std::string original = testsupport::ReadFileBytes(part.File);
        TXMLDocument doc;
        doc.LoadFromFile(part.File);
        const std::string saved = doc.SaveToText();
        EXPECT_EQ(Canonical(saved), Canonical(original));
        if (InWriterForm(original)) {
            EXPECT_EQ(saved, original);
        }
        identical += saved == original ? 1 : 0;
        TXMLDocument again;
        again.LoadFromText(saved);
        EXPECT_EQ(again.SaveToText(), saved);
        ++checked;
    }
    EXPECT_GT(checked, 200);
    std::cout << identical << " of " << checked << " parts byte for byte\n";
}

} // namespace
} // namespace xml
