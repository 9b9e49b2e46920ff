#pragma once

#include "archive/TArchiveReader.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Finds the core and app property parts of a package the way packages name them: through the
// package relationships (_rels/.rels), with the usual part names as the fallback.
namespace engine {

inline constexpr std::string_view kPackageRelsName = "_rels/.rels";
inline constexpr std::string_view kContentTypesName = "[Content_Types].xml";
// No property part, relationship or content-type list of a real package comes near this; a
// member that inflates beyond it is treated as damaged rather than held in memory.
inline constexpr std::uint64_t kMaxPartBytes = 64ULL * 1024 * 1024;

struct PackageRelationship
{
    std::string Id;
    std::string Type;
    std::string Target;
    std::string TargetMode;
};

// The Relationship elements (by namespace) below the root of a relationships part, in document
// order. Throws xml::EXmlError when the text is not well-formed.
std::vector<PackageRelationship> ParsePackageRelationships(const std::string& relsXml);

// A relationship target of _rels/.rels as a part name: '\' read as '/', a leading '/' removed,
// '.' and empty segments dropped and '..' segments resolved ('..' at the root is dropped).
std::string ResolveRelationshipTarget(std::string_view target);

// The file member named partName (TArchiveReader::FindMember).
const archive::TZipHeaderInfo* FindPart(const archive::TArchiveReader& reader, std::string_view partName);

// The part that relationships of the given types lead to (types in order of preference; in each,
// the first relationship in document order that leads to an existing member; external targets
// ignored), else the member with the fallback name. rels is nothing when the package has no
// readable relationships part. Null when the package has no such part.
const archive::TZipHeaderInfo* LocatePart(const archive::TArchiveReader& reader,
                                          const std::optional<std::vector<PackageRelationship>>& rels,
                                          const std::array<std::string_view, 2>& relationshipTypes,
                                          std::string_view fallbackName);

struct PropertyPartLocation
{
    const archive::TZipHeaderInfo* Core = nullptr;   // null: the package has no core part
    const archive::TZipHeaderInfo* App = nullptr;    // null: the package has no app part
    const archive::TZipHeaderInfo* Custom = nullptr; // null: no custom properties part
};

// Reads _rels/.rels (a missing, damaged or malformed one only means the fallback names are used)
// and locates the property parts. The pointers stay valid while the reader's directory does.
PropertyPartLocation LocatePropertyParts(archive::TArchiveReader& reader);

} // namespace engine
