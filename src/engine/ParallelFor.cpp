#include "engine/ParallelFor.h"

#include "engine/UsableCores.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace engine {

void ParallelFor(std::size_t count,
                 const std::function<void(std::size_t)>& task,
                 const std::function<std::string(std::size_t)>& describe,
                 const Progress& progress,
                 std::size_t threads)
{
    if (count == 0) {
        return;
    }
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::mutex failureLock;
    std::exception_ptr failure;

    auto worker = [&] {
        while (!progress.Cancelled()) {
            const std::size_t i = next.fetch_add(1);
            if (i >= count) {
                return;
            }
            try {
                progress.Report(done.load(), count, describe(i));
                task(i);
            } catch (...) {
                const std::scoped_lock lock(failureLock);
                if (!failure) {
                    failure = std::current_exception();
                }
            }
            progress.Report(done.fetch_add(1) + 1, count, describe(i));
        }
    };

    const std::size_t running = std::clamp<std::size_t>(threads == 0 ? UsableCores() : threads, 1, count);
    {
        std::vector<std::jthread> pool;
        for (std::size_t t = 1; t < running; ++t) {
            pool.emplace_back(worker);
        }
        worker();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace engine
