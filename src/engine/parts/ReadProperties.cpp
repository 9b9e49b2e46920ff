#include "engine/parts/ReadProperties.h"

#include "engine/parts/PropertyElements.h"
#include "engine/parts/PropertyParts.h"
#include "xml/TXMLDocument.h"

#include <array>

namespace engine {
namespace {

enum class Part
{
    Core,
    App,
};

// The statistic an element of the app part holds, recognised like the app properties.
std::optional<Statistic> StatisticOfElement(xml::TXMLNode element)
{
    if (element.type() != pugi::node_element || !IsAppNamespace(xml::TXMLDocument::NamespaceUri(element))) {
        return std::nullopt;
    }
    return StatisticOfElementName(xml::TXMLDocument::LocalName(element));
}

void ReadPart(DocumentRecord& record, const xml::TXMLDocument& doc, Part part)
{
    // Statistics are gathered apart and packed once at the end.
    std::array<std::string, kStatisticCount> statistics;
    if (part == Part::App) {
        for (std::size_t i = 0; i < kStatisticCount; ++i) {
            statistics[i] = record.Statistics[i];
        }
    }
    for (auto child = doc.DocumentElement().first_child(); child; child = child.next_sibling()) {
        // An empty element leaves the value as it was; a later occurrence with content wins.
        if (!child.first_child()) {
            continue;
        }
        if (const auto p = PropertyOfElement(child, part == Part::Core)) {
            // A date that is not a full date-time is kept as stored, and the read goes on.
            record.Value(*p) = ShownText(*p, xml::TXMLDocument::NodeText(child.first_child()));
        } else if (part == Part::App) {
            if (const auto s = StatisticOfElement(child)) {
                statistics[StatisticIndex(*s)] = xml::TXMLDocument::NodeText(child.first_child());
            }
        }
    }
    if (part == Part::App) {
        record.Statistics.Assign([&](std::size_t i) -> std::string_view { return statistics[i]; });
    }
}

} // namespace

void ReadCoreProperties(DocumentRecord& record, const std::filesystem::path& path)
{
    xml::TXMLDocument doc;
    doc.LoadFromFile(path);
    ReadPart(record, doc, Part::Core);
}

void ReadAppProperties(DocumentRecord& record, const std::filesystem::path& path)
{
    xml::TXMLDocument doc;
    doc.LoadFromFile(path);
    ReadPart(record, doc, Part::App);
}

void ReadCorePropertiesXml(DocumentRecord& record, const std::string& xmlText)
{
    xml::TXMLDocument doc;
    doc.LoadFromText(xmlText);
    ReadPart(record, doc, Part::Core);
}

void ReadAppPropertiesXml(DocumentRecord& record, const std::string& xmlText)
{
    xml::TXMLDocument doc;
    doc.LoadFromText(xmlText);
    ReadPart(record, doc, Part::App);
}

} // namespace engine
