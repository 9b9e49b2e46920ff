#pragma once

namespace engine {

// The number of cores this process may run on (its affinity mask, so `taskset -c 0` means one),
// at least 1. Worker pools size themselves by it.
unsigned UsableCores();

} // namespace engine
