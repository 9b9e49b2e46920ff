// The XML service against a conforming parser (expat with its defaults, as an independent reader
// of property parts would use it) on arbitrary part text. Whatever the service accepts, expat
// accepts; whatever the service refuses while expat accepts is one of the service's own refusals;
// and whatever the writers make of an accepted part, after an edit, expat accepts too. The first
// byte picks the core or the app part.
#include "FuzzSupport.h"
#include "engine/parts/ReadProperties.h"
#include "engine/parts/WriteProperties.h"
#include "xml/EXmlError.h"

#include <cstdint>
#include <expat.h>
#include <memory>
#include <string>

namespace {

constexpr const char* kEdited = "Fuzz <&> \"edited\" \xc3\xa9";

struct Verdict
{
    bool Accepted = false;
    XML_Error Code = XML_ERROR_NONE;
};

Verdict ExpatReads(const std::string& text)
{
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
        XML_ParserCreate(nullptr), XML_ParserFree);
    const bool ok =
        XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) == XML_STATUS_OK;
    return Verdict{ok, ok ? XML_ERROR_NONE : XML_GetErrorCode(parser.get())};
}

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// Texts that expat does not read at all but the service does, on purpose: UTF-32, and ASCII text
// under an encoding name expat does not know.
bool OutsideExpatsEncodings(const std::string& text, const Verdict& verdict)
{
    const bool utf32 = text.size() >= 4 && ((text[0] == 0 && text[1] == 0) || (text[2] == 0 && text[3] == 0));
    return utf32 || verdict.Code == XML_ERROR_UNKNOWN_ENCODING ||
           verdict.Code == XML_ERROR_INCORRECT_ENCODING;
}

// The service's own refusals of documents that are well-formed.
bool IsOwnRefusal(const std::string& message)
{
    return Contains(message, "entity declarations are not supported") ||
           Contains(message, "undefined entity &") ||
           Contains(message, "unsupported XML: document type declaration");
}

void Check(bool core, const std::string& xml)
{
    const Verdict expat = ExpatReads(xml);
    engine::DocumentRecord record;
    try {
        core ? engine::ReadCorePropertiesXml(record, xml) : engine::ReadAppPropertiesXml(record, xml);
    } catch (const xml::EXmlError& e) {
        if (expat.Accepted && !IsOwnRefusal(e.what())) {
            fuzzing::Fail("refused a document expat reads:", e.what());
        }
        return;
    }
    if (!expat.Accepted && !OutsideExpatsEncodings(xml, expat)) {
        fuzzing::Fail("accepted a document expat refuses:", XML_ErrorString(expat.Code));
    }
    const std::size_t p = core ? 0 : engine::kCoreCount + 2; // Title or Company
    record.Value(p) = kEdited;
    record.SetChanged(p, true);
    std::string written;
    try {
        written =
            core ? engine::WriteCorePropertiesXml(record, xml) : engine::WriteAppPropertiesXml(record, xml);
    } catch (const xml::EXmlError& e) {
        // Text beyond ASCII cannot be written under an encoding name the service does not know;
        // that refusal is the service's own.
        if (Contains(e.what(), "would not be well-formed") && !Contains(e.what(), "declared encoding")) {
            fuzzing::Fail("an edit of a readable part cannot be written:", e.what());
        }
        return;
    } catch (const engine::EPropertyWriteError&) {
        return;
    }
    const Verdict again = ExpatReads(written);
    if (!again.Accepted && !OutsideExpatsEncodings(written, again)) {
        fuzzing::Fail("expat refuses a written part:", XML_ErrorString(again.Code));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const bool core = (data[0] & 1) == 0;
    Check(core, std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    return 0;
}
