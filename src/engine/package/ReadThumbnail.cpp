#include "engine/package/ReadThumbnail.h"

#include "archive/MemberNameKey.h"
#include "archive/TArchiveReader.h"
#include "engine/parts/PartLocator.h"
#include "engine/base/PathMessage.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace engine {
namespace {

// A URI scheme ("http:", "file:", a drive letter "C:") before the first '/', '\', '?' or '#'.
bool HasScheme(std::string_view target)
{
    const std::size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon == 0 ||
        target.substr(0, colon).find_first_of("/\\?#") != std::string_view::npos) {
        return false;
    }
    if (std::isalpha(static_cast<unsigned char>(target[0])) == 0) {
        return false;
    }
    return std::all_of(target.begin(), target.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
    });
}

// Whether ".." segments climb above the package root anywhere along the path.
bool ClimbsAboveRoot(std::string_view target)
{
    int depth = 0;
    while (true) {
        const std::size_t cut = target.find_first_of("/\\");
        const std::string_view segment = target.substr(0, cut);
        if (segment == "..") {
            if (--depth < 0) {
                return true;
            }
        } else if (!segment.empty() && segment != ".") {
            ++depth;
        }
        if (cut == std::string_view::npos) {
            return false;
        }
        target.remove_prefix(cut + 1);
    }
}

std::string LowerExtension(std::string_view partName)
{
    const std::size_t slash = partName.rfind('/');
    const std::size_t dot = partName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return {};
    }
    std::string extension(partName.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The first relationship of the preferred type in document order, else of the other.
const PackageRelationship& ThumbnailRelationship(const std::vector<PackageRelationship>& rels)
{
    for (std::string_view type : kThumbnailRelationshipTypes) {
        const auto found = std::find_if(rels.begin(), rels.end(),
                                        [&](const PackageRelationship& rel) { return rel.Type == type; });
        if (found != rels.end()) {
            return *found;
        }
    }
    throw std::runtime_error("the package has no thumbnail");
}

Thumbnail ReadFrom(archive::TArchiveReader& reader)
{
    const archive::TZipHeaderInfo* relsMember = FindPart(reader, kPackageRelsName);
    if (relsMember == nullptr) {
        throw std::runtime_error("the package has no thumbnail (it has no " + std::string(kPackageRelsName) +
                                 ")");
    }
    const std::vector<PackageRelationship> rels =
        ParsePackageRelationships(reader.ExtractToMemory(*relsMember, kMaxPartBytes));
    const PackageRelationship& rel = ThumbnailRelationship(rels);
    const std::string quoted = "\"" + rel.Target + "\"";
    if (rel.TargetMode == "External") {
        throw std::runtime_error("the thumbnail is outside the package (external target " + quoted + ")");
    }
    const std::optional<std::string> partName = ThumbnailPartName(rel.Target);
    if (!partName) {
        throw std::runtime_error("the thumbnail's target " + quoted + " lies outside the package");
    }
    const archive::TZipHeaderInfo* member = FindPart(reader, *partName);
    if (member == nullptr) {
        throw std::runtime_error("the thumbnail's target " + quoted + " names no member of the package");
    }
    const std::vector<std::string> duplicates = archive::DuplicateMemberNames(reader.Members());
    if (std::find_if(duplicates.begin(), duplicates.end(), [&](const std::string& name) {
            return archive::MemberNameKey(name) == archive::MemberNameKey(member->Name);
        }) != duplicates.end()) {
        throw std::runtime_error("two members named " + member->Name);
    }
    if (member->UncompressedSize() > kMaxThumbnailBytes) {
        throw std::runtime_error(member->Name + ": " + std::to_string(member->UncompressedSize()) +
                                 " bytes, more than a thumbnail may have (8 MiB)");
    }
    Thumbnail thumbnail;
    // The bound holds however the member's sizes lie: decoding stops as soon as it is passed.
    thumbnail.Bytes = reader.ExtractToMemory(*member, kMaxThumbnailBytes);
    thumbnail.PartName = member->Name;
    thumbnail.Extension = LowerExtension(member->Name);
    return thumbnail;
}

} // namespace

std::optional<std::string> ThumbnailPartName(std::string_view target)
{
    const bool networkPath = target.size() >= 2 && (target[0] == '/' || target[0] == '\\') &&
                             (target[1] == '/' || target[1] == '\\');
    if (target.empty() || networkPath || HasScheme(target) || ClimbsAboveRoot(target)) {
        return std::nullopt;
    }
    return ResolveRelationshipTarget(target);
}

Thumbnail ReadThumbnail(const std::filesystem::path& package)
{
    try {
        archive::TArchiveReader reader;
        reader.ZipName = package;
        reader.DoProcessMessages = false;
        reader.OpenDirectory();
        return ReadThumbnail(reader);
    } catch (const std::exception& e) {
        Thumbnail failed;
        failed.Error = WithoutPath(e.what(), package.string());
        return failed;
    } catch (...) {
        Thumbnail failed;
        failed.Error = "unexpected failure while reading the thumbnail";
        return failed;
    }
}

Thumbnail ReadThumbnail(archive::TArchiveReader& reader)
{
    try {
        return ReadFrom(reader);
    } catch (const std::exception& e) {
        Thumbnail failed;
        failed.Error = WithoutPath(e.what(), reader.ZipName.string());
        return failed;
    } catch (...) {
        Thumbnail failed;
        failed.Error = "unexpected failure while reading the thumbnail";
        return failed;
    }
}

} // namespace engine
