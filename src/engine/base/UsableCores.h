#pragma once

namespace engine {

// The number of cores this process may run on (its affinity mask, so `taskset -c 0` means one),
// at least 1. Worker pools size themselves by it.
unsigned UsableCores();

// Workers of a save pool: four per usable core, at most 32. A save spends much of its time waiting
// for the disk to confirm its writes (fsync), and the other workers of a core compute meanwhile.
unsigned SaveWorkers();

} // namespace engine
