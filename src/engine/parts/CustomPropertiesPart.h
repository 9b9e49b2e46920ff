#pragma once

#include "archive/TArchiveReader.h"
#include "engine/record/DocumentRecord.h"

#include <array>
#include <string>
#include <string_view>

// Reading and editing the custom properties part (docProps/custom.xml): one `property` element per
// property, with fmtid, pid and name attributes and one typed value element.
namespace engine {

inline constexpr std::string_view kCustomNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties";
inline constexpr std::string_view kCustomStrictNamespace =
    "http://purl.oclc.org/ooxml/officeDocument/customProperties";
inline constexpr std::string_view kVtStrictNamespace =
    "http://purl.oclc.org/ooxml/officeDocument/docPropsVTypes";
inline constexpr std::string_view kCustomPartName = "docProps/custom.xml";
inline constexpr std::string_view kCustomContentType =
    "application/vnd.openxmlformats-officedocument.custom-properties+xml";
inline constexpr std::array<std::string_view, 2> kCustomRelationshipTypes = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/customProperties",
};
// The property set every user-defined property belongs to.
inline constexpr std::string_view kCustomFmtid = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";

// Fills record.Custom.Items from the part text (replacing what was there). Throws xml::EXmlError
// when the text is not a readable XML part or its root is not a custom properties root.
void ReadCustomPropertiesXml(DocumentRecord& record, const std::string& xmlText);

// Reads the member into record.Custom; a failure is kept in record.Custom.Error, never thrown, so
// the standard properties and their report are the same whatever the custom part holds.
void ReadCustomPart(archive::TArchiveReader& reader,
                    const archive::TZipHeaderInfo* member,
                    DocumentRecord& record);

// The part text with the record's staged custom changes applied: removed names go, changed
// properties take their new type and value (keeping pid, fmtid and their place), new ones are
// appended with the next unused pid from 2. Every other byte of the part stays as the XML service
// keeps it. An empty existingXml means the part is missing: a new one is made when a property is
// set, otherwise the result is empty. Unchanged when nothing is staged. Throws xml::EXmlError or
// EPropertyWriteError.
[[nodiscard]] std::string WriteCustomPropertiesXml(const DocumentRecord& record,
                                                   const std::string& existingXml);

} // namespace engine
