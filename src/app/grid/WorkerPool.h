#pragma once

#include <QThreadPool>

namespace app {

// The threads the window's own work runs on: the long commands and the freeing of records. Kept
// apart from QThreadPool::globalInstance(), which Qt's raster painting borrows for large fills and
// waits for: work that took every thread of that pool stopped the window painting (a progress bar,
// a grid) until the work ended, for as long as a whole save.
[[nodiscard]] QThreadPool& WorkerPool();

} // namespace app
