#pragma once

#include "support/PackageBuilder.h"

#include <string>

// Packages of the other Office kinds, and custom properties parts, generated for tests.
namespace testsupport {

// A package whose main part is that of kind "docx" (word/document.xml), "xlsx" (xl/workbook.xml)
// or "pptx", with the given property parts related from _rels/.rels (an empty text leaves a part
// out), plus members that a save must keep as they are: a binary macro project, a stored image and
// a signature origin when signed.
PackageBuilder OfficePackage(const std::string& kind,
                             const std::string& coreXml,
                             const std::string& appXml,
                             const std::string& customXml,
                             bool signedPackage = false);

// A custom properties part holding the given property elements.
std::string CustomXml(const std::string& properties);
// One property element with the usual fmtid: <property fmtid=.. pid=.. name=..>valueXml</property>.
std::string CustomProperty(int pid, const std::string& name, const std::string& valueXml);

} // namespace testsupport
