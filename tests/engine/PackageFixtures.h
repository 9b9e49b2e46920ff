#pragma once

#include "support/PackageBuilder.h"

#include <filesystem>
#include <string>

// Small helpers shared by the load and save tests.
namespace engine::fixtures {

// A presentation whose relationships part is given explicitly (empty: no _rels/.rels at all) and
// whose property parts are stored under the given names (an empty text leaves the part out).
testsupport::PackageBuilder Package(const std::string& rels,
                                    const std::string& coreName,
                                    const std::string& coreXml,
                                    const std::string& appName,
                                    const std::string& appXml);

// The _rels/.rels text with the given Relationship elements.
std::string Rels(const std::string& relationships);
// One Relationship element of the core type (alternate = the second accepted type).
std::string CoreRel(const std::string& id, const std::string& target, bool alternate = false);

// The content of one member of a package, read with the archive layer.
std::string MemberText(const std::filesystem::path& package, const std::string& name);

} // namespace engine::fixtures
