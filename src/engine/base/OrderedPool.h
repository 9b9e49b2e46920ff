#pragma once

#include "engine/base/Progress.h"

#include <cstddef>
#include <functional>

namespace engine {

// Runs task(i, worker) for i = 0 .. count - 1 on the given number of workers (0: one per usable
// core; never more than count), the calling thread being worker 0. Each worker takes the next task
// not yet started, so a worker can keep state of its own (a scratch folder) for its whole run.
// handOn(i, ran) is called on the calling thread for i = 0, 1, ... in order, each as soon as task i
// and every task before it are done. Once progress is cancelled no further task starts; the tasks
// in hand finish, and the rest are handed on with ran == false. Neither function may throw.
void RunInOrder(std::size_t count,
                unsigned workers,
                const Progress& progress,
                const std::function<void(std::size_t task, unsigned worker)>& task,
                const std::function<void(std::size_t task, bool ran)>& handOn);

} // namespace engine
