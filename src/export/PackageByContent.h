#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace exporting {

// What a file is by its content, whatever its name: the output guards never replace a package.
struct PackageContent
{
    enum class Kind
    {
        NotAPackage,   // no ZIP archive, or one without the members below
        OfficeOpenXml, // a ZIP holding [Content_Types].xml
        OpenDocument,  // a ZIP holding mimetype
        CompoundFile,  // an OLE2 compound file: an encrypted package or a legacy Office document
        Unreadable,    // a ZIP archive (or a file) that cannot be read to tell; Reason says why
    };

    Kind What = Kind::NotAPackage;
    std::string Reason;
    // For OfficeOpenXml: whether [Content_Types].xml declares the given main content type.
    bool DeclaresContentType = false;
};

// Reads the ZIP directory of the regular file at path (and, for an Office Open XML package with
// contentType given, its [Content_Types].xml). A file that is not there, or not a regular file,
// is NotAPackage: there is nothing to lose in it.
[[nodiscard]] PackageContent PackageByContent(const std::filesystem::path& path,
                                              std::string_view contentType);

} // namespace exporting
