#include "engine/base/UsableCores.h"

#include <algorithm>
#include <sched.h>
#include <thread>

namespace engine {

unsigned UsableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        return std::max(1, CPU_COUNT(&set));
    }
    return std::max(1U, std::thread::hardware_concurrency());
}

unsigned SaveWorkers()
{
    constexpr unsigned kPerCore = 4;
    constexpr unsigned kMost = 32;
    return std::min(kPerCore * UsableCores(), kMost);
}

} // namespace engine
