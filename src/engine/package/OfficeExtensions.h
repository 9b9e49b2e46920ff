#pragma once

#include "archive/TArchiveReader.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

// Which files a folder scan takes beyond .pptx when asked, and what a save should warn about in
// packages of any kind.
namespace engine {

// Every Office Open XML package kind that carries the two property parts.
inline constexpr std::array<std::string_view, 14> kOfficeExtensions = {
    "pptx", "pptm", "potx", "potm", "ppsx", "ppsm", "docx",
    "docm", "dotx", "dotm", "xlsx", "xlsm", "xltx", "xltm",
};

// The word that stands for all of kOfficeExtensions.
inline constexpr std::string_view kOfficeKeyword = "office";

class EUnknownExtension : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

// "pptx,potx" or "office" (entries separated by commas, an optional leading "." or "*." each,
// letter case ignored) as the extension list of a folder scan ("*.pptx;*.potx;"). Throws
// EUnknownExtension for an empty list or an entry that is not one of kOfficeExtensions.
[[nodiscard]] std::string ExtensionListOf(std::string_view extensions);

inline constexpr std::string_view kDigitalSignatureOriginType =
    "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/origin";
inline constexpr std::string_view kSignatureWarning =
    "the package is digitally signed; its signature may no longer verify";

// Whether the package holds a digital signature: a member below _xmlsignatures/ or a signature
// origin relationship in _rels/.rels (an unreadable relationships part counts as none).
[[nodiscard]] bool HasDigitalSignature(archive::TArchiveReader& reader);
// The same for the package at path; false when it cannot be read (its save then reports why).
[[nodiscard]] bool PackageIsSigned(const std::string& path);

} // namespace engine
