#include "engine/parts/WriteProperties.h"

#include "archive/AtomicReplace.h"
#include "archive/Utf8.h"
#include "engine/parts/PropertyElements.h"
#include "engine/parts/PropertyParts.h"
#include "engine/record/DateConvert.h"
#include "engine/record/PropertyValueRule.h"
#include "engine/record/StorableText.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

namespace engine {
namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

std::string NewCorePart()
{
    return std::string(kDeclaration) + "<cp:coreProperties xmlns:cp=\"" + std::string(kCpNamespace) +
           "\" xmlns:dc=\"" + std::string(kDcNamespace) + "\" xmlns:dcterms=\"" +
           std::string(kDctermsNamespace) + "\" xmlns:dcmitype=\"" + std::string(kDcmitypeNamespace) +
           "\" xmlns:xsi=\"" + std::string(kXsiNamespace) + "\"></cp:coreProperties>";
}

std::string NewAppPart()
{
    return std::string(kDeclaration) + "<Properties xmlns=\"" + std::string(kAppNamespace) +
           "\" xmlns:vt=\"" + std::string(kVtNamespace) + "\"></Properties>";
}

std::string_view CatalogueName(std::size_t p)
{
    return p < kCoreCount ? CoreElementNames[p] : AppElementNames[p - kCoreCount];
}

std::string_view CataloguePrefix(std::string_view name)
{
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view("ep") : name.substr(0, colon);
}

std::string_view CatalogueLocal(std::string_view name)
{
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Whether a declared prefix can start an element name. The parser takes any attribute name, so a
// part may declare "xmlns:2dc"; an element written with that prefix could not be read back.
bool IsUsablePrefix(std::string_view prefix)
{
    const auto letter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
               static_cast<unsigned char>(c) >= 0x80;
    };
    if (prefix.empty()) {
        return true; // the default namespace: unprefixed names
    }
    if (!letter(prefix.front())) {
        return false;
    }
    return std::all_of(prefix.begin(), prefix.end(),
                       [&](char c) { return letter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; });
}

} // namespace

// A new declaration always gets a prefix: a default namespace added to the root would move every
// unprefixed element of the part into it.
std::string PrefixFor(xml::TXMLDocument& doc, std::string_view uri, std::string_view preferred)
{
    const auto root = doc.DocumentElement();
    if (auto prefix = xml::TXMLDocument::FindPrefix(root, uri); prefix && IsUsablePrefix(*prefix)) {
        return *prefix;
    }
    std::string prefix(preferred);
    for (int n = 1; xml::TXMLDocument::IsPrefixDeclared(root, prefix); ++n) {
        prefix = std::string(preferred) + std::to_string(n);
    }
    doc.SetAttribute(root, "xmlns:" + prefix, std::string(uri));
    return prefix;
}

namespace {

std::string Qualified(const std::string& prefix, std::string_view local)
{
    return prefix.empty() ? std::string(local) : prefix + ":" + std::string(local);
}

// The namespace a new element of property p gets: the app part keeps the namespace it already uses
// (transitional or strict).
std::string NamespaceForNew(xml::TXMLNode root, std::size_t p)
{
    if (p < kCoreCount) {
        return std::string(CoreNamespaceOfPrefix(CataloguePrefix(CoreElementNames[p])));
    }
    const std::string rootNamespace(xml::TXMLDocument::NamespaceUri(root));
    return IsAppNamespace(rootNamespace) ? rootNamespace : std::string(kAppNamespace);
}

xml::TXMLNode AddPropertyElement(xml::TXMLDocument& doc, std::size_t p)
{
    const auto root = doc.DocumentElement();
    const std::string_view name = CatalogueName(p);
    const std::string uri = NamespaceForNew(root, p);
    const auto element =
        doc.AddChild(root, Qualified(PrefixFor(doc, uri, CataloguePrefix(name)), CatalogueLocal(name)));
    if (p == static_cast<std::size_t>(CoreProperty::CreatedTime) ||
        p == static_cast<std::size_t>(CoreProperty::ModifiedTime)) {
        const std::string xsi = PrefixFor(doc, kXsiNamespace, "xsi");
        const std::string dcterms = PrefixFor(doc, kDctermsNamespace, "dcterms");
        doc.SetAttribute(element, Qualified(xsi, "type"), Qualified(dcterms, "W3CDTF"));
    }
    return element;
}

} // namespace

// A value that would make the written part unreadable is refused before anything is written.
void CheckStorableText(std::string_view what, std::string_view value)
{
    if (auto problem = StorableTextProblem(what, value)) {
        throw EPropertyWriteError(*problem);
    }
}

namespace {

// The text to store for property p, or std::nullopt when the property is to be left as it is.
std::optional<std::string> StoredValue(const DocumentRecord& record, std::size_t p, xml::TXMLNode root)
{
    const std::string& value = record.Value(p);
    // A text equal to what the part already shows is not rewritten: a date keeps its stored form
    // (offset, fraction) and a kept-as-stored date text that is not a date does not fail the save.
    if (ShownValue(root, p).value_or(std::string()) == value) {
        return std::nullopt;
    }
    CheckStorableText(DisplayName(p), value);
    if (auto problem = PropertyValueProblem(p, value)) {
        throw EPropertyWriteError(*problem);
    }
    return IsDateProperty(p) && !value.empty() ? RecordDateToStoredDate(value) : value;
}

std::string WritePart(const DocumentRecord& record, const std::string& existingXml, bool corePart)
{
    const std::size_t first = corePart ? 0 : kCoreCount;
    const std::size_t last = corePart ? kCoreCount : kPropertyCount;
    bool anyFlagged = false;
    bool anyValue = false;
    for (std::size_t p = first; p < last; ++p) {
        anyFlagged = anyFlagged || record.Changed(p);
        anyValue = anyValue || (record.Changed(p) && !record.Value(p).empty());
    }
    if (!anyFlagged || (existingXml.empty() && !anyValue)) {
        return existingXml;
    }
    xml::TXMLDocument doc;
    doc.LoadFromText(existingXml.empty() ? (corePart ? NewCorePart() : NewAppPart()) : existingXml);
    const auto root = doc.DocumentElement();
    bool edited = false;
    for (std::size_t p = first; p < last; ++p) {
        if (!record.Changed(p)) {
            continue;
        }
        const auto stored = StoredValue(record, p, root);
        if (!stored) {
            continue;
        }
        edited = true;
        auto elements = FindChildElements(CatalogueName(p), root);
        // The first occurrence takes the value; later ones would otherwise win on the next read.
        const std::size_t keep = stored->empty() ? 0 : 1;
        for (std::size_t i = keep; i < elements.size(); ++i) {
            doc.RemoveChild(root, elements[i]);
        }
        if (stored->empty()) {
            continue;
        }
        const auto element = elements.empty() ? AddPropertyElement(doc, p) : elements.front();
        try {
            doc.SetText(element, *stored);
        } catch (const xml::EXmlError&) {
            throw EPropertyWriteError(std::string(DisplayName(p)) + ": the element <" + element.name() +
                                      "> holds other elements or several nodes and cannot take a text");
        }
    }
    // Nothing really changed: the part stays exactly as it was, not even re-serialised.
    return edited ? doc.SaveToText() : existingXml;
}

std::string ReadIfPresent(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) {
        throw xml::EXmlError(path.string() + ": cannot read the file");
    }
    return bytes.str();
}

void WritePartFile(const DocumentRecord& record, const std::filesystem::path& path, bool corePart)
{
    const std::string existing = ReadIfPresent(path);
    const std::string updated = WritePart(record, existing, corePart);
    if (updated.empty() || updated == existing) {
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    // A failed write leaves the old part whole.
    archive::ReplaceFileContent(path, updated);
}

} // namespace

std::string WriteCorePropertiesXml(const DocumentRecord& record, const std::string& existingXml)
{
    return WritePart(record, existingXml, true);
}

std::string WriteAppPropertiesXml(const DocumentRecord& record, const std::string& existingXml)
{
    return WritePart(record, existingXml, false);
}

void WriteCoreProperties(const DocumentRecord& record, const std::filesystem::path& path)
{
    WritePartFile(record, path, true);
}

void WriteAppProperties(const DocumentRecord& record, const std::filesystem::path& path)
{
    WritePartFile(record, path, false);
}

} // namespace engine
