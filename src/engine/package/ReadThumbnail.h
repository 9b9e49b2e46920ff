#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace archive {
class TArchiveReader;
}

// The picture of a package's first slide that most packages carry, read on request (never while a
// folder loads): the part that the package relationship of the thumbnail type names.
namespace engine {

// The relationship types that name the thumbnail, in order of preference (the second is ISO Strict's).
inline constexpr std::array<std::string_view, 2> kThumbnailRelationshipTypes = {
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/metadata/thumbnail",
};
// Far above any real thumbnail (a few dozen KiB); a member that would inflate beyond it is refused
// before it is, or as soon as it is past it when its declared size lies.
inline constexpr std::uint64_t kMaxThumbnailBytes = 8ULL * 1024 * 1024;

struct Thumbnail
{
    std::string Bytes;     // the part's content as stored, not decoded
    std::string PartName;  // the member's name, as the archive holds it
    std::string Extension; // of the part name, lower case and without the dot ("jpeg"); may be empty
    std::string Error;     // why there is no thumbnail; empty when Bytes hold it

    [[nodiscard]] bool Ok() const { return Error.empty(); }
};

// The part name a thumbnail relationship's target names (relative to the package root, '\' read as
// '/'), or nothing when the target leaves the package: an absolute URI (a drive letter too), a
// network path, or ".." climbing above the root.
[[nodiscard]] std::optional<std::string> ThumbnailPartName(std::string_view target);

// Reads the package's thumbnail. Never throws: a package without a thumbnail relationship, a target
// outside the package, a missing, duplicated, damaged or oversized member all give an Error that
// says which.
[[nodiscard]] Thumbnail ReadThumbnail(const std::filesystem::path& package);
// The same from a package whose directory is open already (one reading of the directory for a
// caller that also wants other facts of it).
[[nodiscard]] Thumbnail ReadThumbnail(archive::TArchiveReader& reader);

} // namespace engine
