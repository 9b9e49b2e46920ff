#pragma once

#include "support/HostilePackages.h"

#include <vector>

namespace testsupport {

// Hostile custom properties parts: huge names, 100,000 properties, duplicate and odd pids, unknown
// and malformed value types, entity tricks, relationships that lead to the wrong part. Each case
// also sets a custom property in its save.
void AddHostileCustomPartCases(std::vector<HostileCase>& cases);

} // namespace testsupport
