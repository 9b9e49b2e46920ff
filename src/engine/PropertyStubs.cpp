// Interim bodies so that callers link while the implementations are completed.
#include "engine/CellText.h"
#include "engine/DateConvert.h"
#include "engine/PropertyParts.h"
#include "engine/ReadProperties.h"
#include "engine/WriteProperties.h"

namespace engine {
namespace {
[[noreturn]] void Pending()
{
    throw std::logic_error("property reading and writing not available yet");
}
} // namespace

std::string CellText(const DocumentRecord&, int) { Pending(); }
NumberSeparators CurrentSeparators() { Pending(); }
void SetSeparatorOverride(std::optional<NumberSeparators>) { Pending(); }
std::string FormatSizeText(std::uint64_t, const NumberSeparators&) { Pending(); }
std::string FormatSizeText(std::string_view) { Pending(); }
bool IsValidDateTime(const DateTime&) { Pending(); }
std::optional<DateTime> UtcToLocal(const DateTime&) { Pending(); }
std::optional<DateTime> LocalToUtc(const DateTime&) { Pending(); }
std::optional<DateTime> ParseStoredDate(std::string_view) { Pending(); }
std::optional<std::string> StoredDateToLocalText(std::string_view) { Pending(); }
std::optional<DateTime> ParseLocalText(std::string_view) { Pending(); }
std::optional<std::string> LocalTextToStoredDate(std::string_view) { Pending(); }
std::string FormatLocalText(const DateTime&) { Pending(); }
std::string FormatStoredDate(const DateTime&) { Pending(); }
std::string_view CoreNamespaceOfPrefix(std::string_view) { Pending(); }
bool IsAppNamespace(std::string_view) { Pending(); }
std::optional<std::size_t> CorePropertyOf(std::string_view, std::string_view) { Pending(); }
std::optional<std::size_t> AppPropertyOf(std::string_view, std::string_view) { Pending(); }
void ReadCoreProperties(DocumentRecord&, const std::filesystem::path&) { Pending(); }
void ReadAppProperties(DocumentRecord&, const std::filesystem::path&) { Pending(); }
void ReadCorePropertiesXml(DocumentRecord&, const std::string&) { Pending(); }
void ReadAppPropertiesXml(DocumentRecord&, const std::string&) { Pending(); }
std::string WriteCorePropertiesXml(const DocumentRecord&, const std::string&) { Pending(); }
std::string WriteAppPropertiesXml(const DocumentRecord&, const std::string&) { Pending(); }
void WriteCoreProperties(const DocumentRecord&, const std::filesystem::path&) { Pending(); }
void WriteAppProperties(const DocumentRecord&, const std::filesystem::path&) { Pending(); }
bool HasCoreChanges(const DocumentRecord&) { Pending(); }
bool HasAppChanges(const DocumentRecord&) { Pending(); }
xml::TXMLNode FindChildElement(std::string_view, xml::TXMLNode) { Pending(); }
std::vector<xml::TXMLNode> FindChildElements(std::string_view, xml::TXMLNode) { Pending(); }
std::string RegisterContentTypeOverride(const std::string&, std::string_view, std::string_view) { Pending(); }
std::string RegisterPackageRelationship(const std::string&, std::string_view, std::string_view) { Pending(); }

} // namespace engine
