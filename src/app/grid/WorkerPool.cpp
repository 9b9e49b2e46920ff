#include "app/grid/WorkerPool.h"

namespace app {

QThreadPool& WorkerPool()
{
    // One long command at a time, and records freed beside it.
    constexpr int kThreads = 4;
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setMaxThreadCount(kThreads);
        return true;
    }();
    (void)sized;
    return pool;
}

} // namespace app
