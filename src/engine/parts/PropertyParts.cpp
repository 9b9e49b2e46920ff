#include "engine/parts/PropertyParts.h"

#include "engine/record/DocumentRecord.h"

namespace engine {
namespace {

std::string_view PrefixOf(std::string_view qualifiedName)
{
    const auto colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? std::string_view() : qualifiedName.substr(0, colon);
}

std::string_view LocalOf(std::string_view qualifiedName)
{
    const auto colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

} // namespace

std::string_view CoreNamespaceOfPrefix(std::string_view prefix)
{
    if (prefix == "dc") {
        return kDcNamespace;
    }
    if (prefix == "cp") {
        return kCpNamespace;
    }
    if (prefix == "dcterms") {
        return kDctermsNamespace;
    }
    return {};
}

bool IsAppNamespace(std::string_view uri)
{
    return uri == kAppNamespace || uri == kAppStrictNamespace;
}

std::optional<std::size_t> CorePropertyOf(std::string_view namespaceUri, std::string_view localName)
{
    if (namespaceUri.empty()) {
        return std::nullopt;
    }
    for (std::size_t p = 0; p < kCoreCount; ++p) {
        const std::string_view name = CoreElementNames[p];
        if (LocalOf(name) == localName && CoreNamespaceOfPrefix(PrefixOf(name)) == namespaceUri) {
            return p;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> AppPropertyOf(std::string_view namespaceUri, std::string_view localName)
{
    if (!IsAppNamespace(namespaceUri)) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kAppCount; ++i) {
        if (AppElementNames[i] == localName) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace engine
