#pragma once

#include "support/HostilePackages.h"
#include "support/PackageBuilder.h"

#include <cstddef>
#include <string>
#include <vector>

// Packages with thumbnails, sound and hostile, generated for tests and fuzz seeds.
namespace testsupport {

// A presentation (Title "Safe", Company "Acme") whose _rels/.rels holds the property parts'
// relationships and the given Relationship elements; members are added by the caller.
PackageBuilder ThumbnailPackage(const std::string& relationships);

// One Relationship element of the thumbnail type (ISO Strict's type when strict), with more
// attributes (TargetMode) appended.
std::string ThumbnailRel(const std::string& target, const std::string& attributes = "", bool strict = false);

// n bytes that begin like a JPEG file and deflate poorly, as a picture does.
std::string PictureBytes(std::size_t n);

// Hostile thumbnails: bombs, lying and huge sizes, targets outside the package, missing, duplicate,
// encrypted and damaged members. The package's properties must read and save all the same.
void AddHostileThumbnailCases(std::vector<HostileCase>& cases);

} // namespace testsupport
