#include "engine/package/OfficeExtensions.h"

#include "engine/parts/PartLocator.h"

#include <algorithm>

namespace engine {
namespace {

std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

void Append(std::string& list, std::string_view extension)
{
    const std::string entry = "*." + std::string(extension) + ";";
    if (list.find(entry) == std::string::npos) {
        list += entry;
    }
}

} // namespace

std::string ExtensionListOf(std::string_view extensions)
{
    std::string list;
    while (true) {
        const std::size_t comma = extensions.find(',');
        std::string entry = LowerAscii(extensions.substr(0, comma));
        entry.erase(0, entry.rfind("*.", 0) == 0 ? 2 : entry.rfind('.', 0) == 0 ? 1 : 0);
        if (entry == kOfficeKeyword) {
            for (std::string_view extension : kOfficeExtensions) {
                Append(list, extension);
            }
        } else if (std::find(kOfficeExtensions.begin(), kOfficeExtensions.end(), entry) !=
                   kOfficeExtensions.end()) {
            Append(list, entry);
        } else {
            std::string known;
            for (std::string_view extension : kOfficeExtensions) {
                known += std::string(known.empty() ? "" : ", ") + std::string(extension);
            }
            throw EUnknownExtension("\"" + std::string(extensions.substr(0, comma)) +
                                    "\" is not a package extension (one of " + known + ", or office)");
        }
        if (comma == std::string_view::npos) {
            break;
        }
        extensions.remove_prefix(comma + 1);
    }
    return list;
}

bool HasDigitalSignature(archive::TArchiveReader& reader)
{
    for (std::size_t i = 0; i < reader.Count(); ++i) {
        std::string name = LowerAscii(reader.Member(i).Name);
        std::replace(name.begin(), name.end(), '\\', '/');
        name.erase(0, name.find_first_not_of('/'));
        if (name.rfind("_xmlsignatures/", 0) == 0) {
            return true;
        }
    }
    const archive::TZipHeaderInfo* rels = FindPart(reader, kPackageRelsName);
    if (rels == nullptr) {
        return false;
    }
    try {
        for (const PackageRelationship& rel :
             ParsePackageRelationships(reader.ExtractToMemory(*rels, kMaxPartBytes))) {
            if (rel.Type == kDigitalSignatureOriginType) {
                return true;
            }
        }
    } catch (const std::exception&) {
        // Relationships that cannot be read are not followed by any reader either.
    }
    return false;
}

bool PackageIsSigned(const std::string& path)
{
    try {
        archive::TArchiveReader reader;
        reader.ZipName = path;
        reader.DoProcessMessages = false;
        reader.OpenDirectory();
        return HasDigitalSignature(reader);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace engine
