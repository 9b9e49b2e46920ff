#pragma once

#include "archive/TSortedZip.h"

#include <string>
#include <string_view>
#include <vector>

namespace archive {

// The key under which two member names are the same name, as packages compare part names: ASCII
// letter case ignored, a leading '/' ignored (names are read with '\' as '/').
[[nodiscard]] std::string MemberNameKey(std::string_view name);

// Each name that more than one member carries (by MemberNameKey), once, as its first member names
// it, in archive order. Readers disagree on which of such members a name means, so a package
// holding one is ambiguous.
[[nodiscard]] std::vector<std::string> DuplicateMemberNames(const TSortedZip& members);

} // namespace archive
