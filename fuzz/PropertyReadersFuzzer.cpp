// The property-part readers on arbitrary text, then the writers on what was read: a part that reads
// must either take an edit or refuse it with the writers' own error, and what they write must read
// back. The first byte picks the core or the app part.
#include "FuzzSupport.h"

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
        written = core ? engine::WriteCorePropertiesXml(record, xml) : engine::WriteAppPropertiesXml(record, xml);
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
