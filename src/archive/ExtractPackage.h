#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace archive {

// Unpacks the members of a package matching any of the masks into a folder (created when missing),
// keeping their stored paths. Throws on a file that is not a readable package, on corrupt data, and when
// a member fails its CRC or size check (after extracting the members that are sound); the first cause
// is named.
void ExtractPackage(const std::filesystem::path& package,
                    const std::filesystem::path& folder,
                    const std::vector<std::string>& masks = {"*.*"});

} // namespace archive
