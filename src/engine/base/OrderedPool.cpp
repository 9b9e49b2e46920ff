#include "engine/base/OrderedPool.h"

#include "engine/base/UsableCores.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace engine {

namespace {

// The shared state of one run: workers take the next index and mark it done; the calling thread
// runs tasks too while the next one in order is not done, and hands on in order. Taking and
// finishing a task need no lock: the lock and a wake-up are paid only when the calling thread,
// with nothing left to take, waits for the very task a worker has just finished.
class TaskBoard
{
public:
    TaskBoard(std::size_t count,
              const Progress& progress,
              const std::function<void(std::size_t, unsigned)>& task)
        : m_count(count)
        , m_progress(progress)
        , m_task(task)
        , m_done(std::make_unique<std::atomic<bool>[]>(count))
    {}

    // Takes the next task and runs it; false when none is left or the run was cancelled. A task
    // taken is always finished, so once every worker is idle an unfinished task stays unfinished.
    bool RunNext(unsigned worker)
    {
        if (m_progress.Cancelled()) {
            return false;
        }
        const std::size_t i = m_next.fetch_add(1);
        if (i >= m_count) {
            return false;
        }
        m_task(i, worker);
        m_done[i].store(true); // before m_awaited is read, pairing with WaitFor
        if (m_awaited.load() == i) {
            const std::lock_guard lock(m_mutex);
            m_changed.notify_one(); // only the calling thread waits
        }
        return true;
    }

    // A worker's whole run.
    void Work(unsigned worker)
    {
        while (RunNext(worker)) {
        }
        const std::lock_guard lock(m_mutex);
        ++m_idle;
        m_changed.notify_one();
    }

    // Whether task i ran, once it is finished or will never be (every worker idle without it).
    bool WaitFor(std::size_t i, std::size_t workers)
    {
        std::unique_lock lock(m_mutex);
        m_awaited = i; // before done[i] is read: a worker finishing i now sees it and wakes us
        m_changed.wait(lock, [&] { return m_done[i].load() || m_idle == workers; });
        m_awaited = kNoneAwaited;
        return m_done[i].load();
    }

    [[nodiscard]] bool Done(std::size_t i) const { return m_done[i].load(std::memory_order_acquire); }

private:
    static constexpr std::size_t kNoneAwaited = static_cast<std::size_t>(-1);
    const std::size_t m_count;
    const Progress& m_progress;
    const std::function<void(std::size_t, unsigned)>& m_task;
    std::unique_ptr<std::atomic<bool>[]> m_done;
    std::atomic<std::size_t> m_next = 0;
    std::atomic<std::size_t> m_awaited = kNoneAwaited;
    std::size_t m_idle = 0; // guarded by m_mutex
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

} // namespace

void RunInOrder(std::size_t count,
                unsigned workers,
                const Progress& progress,
                const std::function<void(std::size_t, unsigned)>& task,
                const std::function<void(std::size_t, bool)>& handOn)
{
    if (count == 0) {
        return;
    }
    TaskBoard board(count, progress, task);
    const auto running =
        static_cast<unsigned>(std::clamp<std::size_t>(workers == 0 ? UsableCores() : workers, 1, count));
    std::vector<std::jthread> others;
    others.reserve(running - 1);
    for (unsigned worker = 1; worker < running; ++worker) {
        others.emplace_back([&board, worker] { board.Work(worker); });
    }
    // The calling thread is worker 0: it runs tasks while the next one to hand on is not done.
    for (std::size_t i = 0; i < count; ++i) {
        while (!board.Done(i) && board.RunNext(0)) {
        }
        if (!board.WaitFor(i, others.size())) {
            // Cancelled before i was taken; tasks are taken in order, so no later one was either.
            for (std::size_t j = i; j < count; ++j) {
                handOn(j, false);
            }
            return;
        }
        handOn(i, true);
    }
}

} // namespace engine
