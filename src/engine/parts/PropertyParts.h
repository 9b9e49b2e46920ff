#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// Names that identify the two property parts and their elements inside a package.
namespace engine {

inline constexpr std::string_view kDcNamespace = "http://purl.org/dc/elements/1.1/";
inline constexpr std::string_view kCpNamespace =
    "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
inline constexpr std::string_view kDctermsNamespace = "http://purl.org/dc/terms/";
inline constexpr std::string_view kDcmitypeNamespace = "http://purl.org/dc/dcmitype/";
inline constexpr std::string_view kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr std::string_view kAppNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
inline constexpr std::string_view kAppStrictNamespace =
    "http://purl.oclc.org/ooxml/officeDocument/extendedProperties";
inline constexpr std::string_view kVtNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
inline constexpr std::string_view kContentTypesNamespace =
    "http://schemas.openxmlformats.org/package/2006/content-types";
inline constexpr std::string_view kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/package/2006/relationships";

inline constexpr std::string_view kCorePartName = "docProps/core.xml";
inline constexpr std::string_view kAppPartName = "docProps/app.xml";
inline constexpr std::string_view kCoreContentType =
    "application/vnd.openxmlformats-package.core-properties+xml";
inline constexpr std::string_view kAppContentType =
    "application/vnd.openxmlformats-officedocument.extended-properties+xml";
// Relationship types, the preferred one of each part first.
inline constexpr std::array<std::string_view, 2> kCoreRelationshipTypes = {
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
    "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/core-properties",
};
inline constexpr std::array<std::string_view, 2> kAppRelationshipTypes = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties",
};

// The namespace URI a catalogue prefix stands for ("dc", "cp", "dcterms"); empty when unknown.
[[nodiscard]] std::string_view CoreNamespaceOfPrefix(std::string_view prefix);
// Whether uri is a namespace of the app part's elements (transitional or strict).
[[nodiscard]] bool IsAppNamespace(std::string_view uri);

// The core property (0..12) that an element with this namespace and local name holds.
[[nodiscard]] std::optional<std::size_t> CorePropertyOf(std::string_view namespaceUri,
                                                        std::string_view localName);
// The app property (0..3, relative to the app values) that an element holds.
[[nodiscard]] std::optional<std::size_t> AppPropertyOf(std::string_view namespaceUri,
                                                       std::string_view localName);

} // namespace engine
