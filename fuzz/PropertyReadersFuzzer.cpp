// The property-part readers on arbitrary text, then the writers on what was read: a part that reads
// must either take an edit or refuse it with the writers' own error, and what they write must read
// back. The first byte picks the core or the app part, or (bit 1 set) the custom properties part.
#include "FuzzSupport.h"
#include "engine/CustomPropertiesPart.h"
#include "engine/ReadProperties.h"
#include "engine/WriteProperties.h"
#include "xml/EXmlError.h"

#include <cstdint>
#include <string>

namespace {

constexpr const char* kEdited = "Fuzz <&> \"edited\" \xc3\xa9";

void Check(bool core, const std::string& xml)
{
    engine::DocumentRecord record;
    try {
        core ? engine::ReadCorePropertiesXml(record, xml) : engine::ReadAppPropertiesXml(record, xml);
    } catch (const xml::EXmlError&) {
        return;
    }
    const std::size_t p = core ? 0 : engine::kCoreCount + 2; // Title or Company
    record.Value(p) = kEdited;
    record.SetChanged(p, true);
    std::string written;
    try {
        written =
            core ? engine::WriteCorePropertiesXml(record, xml) : engine::WriteAppPropertiesXml(record, xml);
    } catch (const xml::EXmlError&) {
        return;
    } catch (const engine::EPropertyWriteError&) {
        return;
    }
    engine::DocumentRecord reread;
    try {
        core ? engine::ReadCorePropertiesXml(reread, written) : engine::ReadAppPropertiesXml(reread, written);
    } catch (const xml::EXmlError& e) {
        fuzzing::Fail("a written part does not read back:", e.what());
    }
}

// A custom part that reads takes a changed, a new and a removed property, and what is written reads
// back with them.
void CheckCustom(const std::string& xml)
{
    engine::DocumentRecord record;
    try {
        engine::ReadCustomPropertiesXml(record, xml);
    } catch (const xml::EXmlError&) {
        return;
    }
    const std::size_t count = record.Custom.Items.size();
    try {
        if (count > 0 && engine::KindOfType(record.Custom.Items.front().Type) != engine::CustomKind::Other) {
            engine::SetCustomProperty(record, record.Custom.Items.front().Name, engine::CustomKind::Int,
                                      "-7");
        }
        if (count > 1) {
            engine::ClearCustomProperty(record, record.Custom.Items.back().Name);
        }
        engine::SetCustomProperty(record, "Fuzz new", engine::CustomKind::Text, kEdited);
    } catch (const engine::ECustomPropertyError&) {
        return; // a name read from the part that cannot be written again
    }
    std::string written;
    try {
        written = engine::WriteCustomPropertiesXml(record, xml);
    } catch (const xml::EXmlError&) {
        return;
    } catch (const engine::EPropertyWriteError&) {
        return;
    }
    engine::DocumentRecord reread;
    try {
        engine::ReadCustomPropertiesXml(reread, written);
    } catch (const xml::EXmlError& e) {
        fuzzing::Fail("a written custom part does not read back:", e.what());
    }
    const engine::CustomProperty* added = engine::FindCustomProperty(reread.Custom, "Fuzz new");
    if (added == nullptr || added->Value != kEdited || added->Type != "vt:lpwstr") {
        fuzzing::Fail("a property set in the custom part does not read back:", written.c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 2) != 0) {
        CheckCustom(text);
    } else {
        Check((data[0] & 1) == 0, text);
    }
    return 0;
}
