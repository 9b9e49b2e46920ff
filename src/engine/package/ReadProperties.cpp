#include "engine/package/ReadProperties.h"

#include "engine/package/PropertyElements.h"
#include "xml/TXMLDocument.h"

namespace engine {
namespace {

enum class Part
{
    Core,
    App,
};

void ReadPart(DocumentRecord& record, const xml::TXMLDocument& doc, Part part)
{
    for (auto child = doc.DocumentElement().first_child(); child; child = child.next_sibling()) {
        const auto p = PropertyOfElement(child, part == Part::Core);
        // An empty element leaves the value as it was; a later occurrence with content wins.
        if (!p || !child.first_child()) {
            continue;
        }
        // A date that is not a full date-time is kept as stored, and the read goes on.
        record.Value(*p) = ShownText(*p, xml::TXMLDocument::NodeText(child.first_child()));
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
