#pragma once

#include "engine/Progress.h"

#include <cstddef>
#include <functional>
#include <string>

namespace engine {

// Runs task(0) .. task(count - 1) on the given number of threads (0: one per usable core), at most
// count, the calling thread being one of them, reporting each finished task through progress. A
// cancel request stops the handing out of new tasks; the tasks in hand finish. describe(i) names
// task i for the progress line. The first exception a task throws is rethrown after every thread
// has stopped.
void ParallelFor(std::size_t count,
                 const std::function<void(std::size_t)>& task,
                 const std::function<std::string(std::size_t)>& describe,
                 const Progress& progress,
                 std::size_t threads = 0);

} // namespace engine
