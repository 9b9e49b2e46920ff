// The property-part readers on arbitrary text, then the writers on what was read: a part that reads
// must either take an edit or refuse it with the writers' own error, and what they write must read
// back. The first byte picks the core or the app part, or (bit 1 set) the custom properties part.
#include "FuzzSupport.h"
#include "engine/parts/CustomPropertiesPart.h"
#include "engine/parts/ReadProperties.h"
#include "engine/parts/WriteProperties.h"
#include "xml/EXmlError.h"

#include <cstdint>
#include <optional>
#include <string>

namespace {

constexpr const char* kEdited = "Fuzz <&> \"edited\" \xc3\xa9";

using PartReader = void (*)(engine::DocumentRecord&, const std::string&);
using PartWriter = std::string (*)(const engine::DocumentRecord&, const std::string&);

// False when the reader refuses the part: there is nothing to edit then.
bool Reads(PartReader read, engine::DocumentRecord& record, const std::string& xml)
{
    try {
        read(record, xml);
        return true;
    } catch (const xml::EXmlError&) {
        return false;
    }
}

// The record's edits written into the part and read back; nothing when the writer refuses the edit
// with its own error. A written part that does not read back is a finding.
std::optional<engine::DocumentRecord> WrittenAndReread(PartWriter write,
                                                       PartReader read,
                                                       const engine::DocumentRecord& record,
                                                       const std::string& xml)
{
    std::string written;
    try {
        written = write(record, xml);
    } catch (const xml::EXmlError&) {
        return std::nullopt;
    } catch (const engine::EPropertyWriteError&) {
        return std::nullopt;
    }
    engine::DocumentRecord reread;
    try {
        read(reread, written);
    } catch (const xml::EXmlError& e) {
        fuzzing::Fail("a written part does not read back:", e.what());
    }
    return reread;
}

void Check(bool core, const std::string& xml)
{
    const PartReader read = core ? engine::ReadCorePropertiesXml : engine::ReadAppPropertiesXml;
    engine::DocumentRecord record;
    if (!Reads(read, record, xml)) {
        return;
    }
    const std::size_t p = core ? 0 : engine::kCoreCount + 2; // Title or Company
    record.Value(p) = kEdited;
    record.SetChanged(p, true);
    (void)WrittenAndReread(core ? engine::WriteCorePropertiesXml : engine::WriteAppPropertiesXml, read,
                           record, xml);
}

// A custom part that reads takes a changed, a new and a removed property, and the new one reads back
// with its type and value.
void CheckCustom(const std::string& xml)
{
    engine::DocumentRecord record;
    if (!Reads(engine::ReadCustomPropertiesXml, record, xml)) {
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
    const auto reread =
        WrittenAndReread(engine::WriteCustomPropertiesXml, engine::ReadCustomPropertiesXml, record, xml);
    if (!reread) {
        return;
    }
    const engine::CustomProperty* added = engine::FindCustomProperty(reread->Custom, "Fuzz new");
    if (added == nullptr || added->Value != kEdited || added->Type != "vt:lpwstr") {
        fuzzing::Fail("a property set in the custom part does not read back:", xml);
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
