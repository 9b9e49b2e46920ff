#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// One deliberately malicious or broken package and what a careful reader must do with it.
// Packages are generated on demand (some are large), never stored as binary files.
struct HostileCase
{
    using Builder = std::function<std::string(const std::filesystem::path& sandbox)>;

    HostileCase() = default;

    HostileCase(std::string caseName,
                Builder builder,
                bool mustFail,
                std::vector<std::string> titles = {},
                std::size_t maxValue = std::size_t{1} << 20)
        : name(std::move(caseName))
        , build(std::move(builder))
        , loadMustFail(mustFail)
        , allowedTitles(std::move(titles))
        , maxValueBytes(maxValue)
    {}

    std::string name; // a GoogleTest-safe label
    // Writes the package bytes. `sandbox` is the folder the test confines everything to: members with
    // absolute names point inside it, so an escaping extraction is caught instead of writing elsewhere.
    Builder build;
    bool loadMustFail = false;
    // When the load succeeds, Title must be one of these (an empty list accepts any title).
    std::vector<std::string> allowedTitles;
    // No loaded property may be longer than this (entity expansion, runaway reads).
    std::size_t maxValueBytes = std::size_t{1} << 20;
    // Text no property may contain (contents of files an external entity could pull in).
    std::string forbiddenText;
    // Takes seconds to build or to run; left out of fuzz seed corpora.
    bool large = false;
    // The save also sets the custom property kCustomEditName, which must read back after it.
    bool editCustom = false;
    // The package's thumbnail cannot be read (ReadThumbnail must say why).
    bool thumbnailMustFail = false;
};

// File name of the marker that escaping members try to create; finding it anywhere outside the
// package means an extraction wrote where it must not.
inline constexpr const char* kEscapeMarker = "velmora-escaped.txt";

// The custom property a case with editCustom sets (as text) before its save.
inline constexpr const char* kCustomEditName = "Reviewed";
inline constexpr const char* kCustomEditValue = "by a hostile-package test";

// The whole hostile set: unsafe member names, size lies, zip bombs, overlapping and duplicate
// members, many entries, odd names, encrypted and unknown methods, truncation at every record
// boundary, hostile property XML (entities, depth, size, invalid text) and hostile thumbnails.
std::vector<HostileCase> HostilePackages();

// The valid package the hostile variants start from: Title "Safe", Company "Acme".
std::string SafePackage();

} // namespace testsupport
