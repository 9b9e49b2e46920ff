#include "engine/OrderedPool.h"

#include "engine/UsableCores.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace engine {

namespace {

enum class TaskState : unsigned char
{
    Waiting,
    Done,
    Skipped,
};

// The tasks' states under one lock; the calling thread waits on it for the next task to hand on.
class TaskBoard
{
public:
    explicit TaskBoard(std::size_t count)
        : m_states(count, TaskState::Waiting)
    {}

    // The next task to run, or count when none is left (or the run is cancelled: the tasks not
    // started are then skipped).
    std::size_t Take(const Progress& progress)
    {
        std::lock_guard lock(m_mutex);
        if (m_next < m_states.size() && progress.Cancelled()) {
            for (std::size_t i = m_next; i < m_states.size(); ++i) {
                m_states[i] = TaskState::Skipped;
            }
            m_next = m_states.size();
            m_changed.notify_all();
        }
        return m_next < m_states.size() ? m_next++ : m_states.size();
    }

    void Finish(std::size_t i)
    {
        std::lock_guard lock(m_mutex);
        m_states[i] = TaskState::Done;
        m_changed.notify_all();
    }

    // The state of task i; with wait, once it is no longer Waiting.
    TaskState State(std::size_t i, bool wait)
    {
        std::unique_lock lock(m_mutex);
        if (wait) {
            m_changed.wait(lock, [&] { return m_states[i] != TaskState::Waiting; });
        }
        return m_states[i];
    }

private:
    std::vector<TaskState> m_states;
    std::size_t m_next = 0;
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
    TaskBoard board(count);
    const auto work = [&](unsigned worker, const std::function<void()>& afterEach) {
        for (std::size_t i = board.Take(progress); i < count; i = board.Take(progress)) {
            task(i, worker);
            board.Finish(i);
            if (afterEach) {
                afterEach();
            }
        }
    };
    std::size_t next = 0;
    // Hands on in order whatever is finished; with wait, until every task is.
    const auto handOnFinished = [&](bool wait) {
        while (next < count) {
            const TaskState state = board.State(next, wait);
            if (state == TaskState::Waiting) {
                return;
            }
            handOn(next++, state == TaskState::Done);
        }
    };
    const unsigned running =
        static_cast<unsigned>(std::clamp<std::size_t>(workers == 0 ? UsableCores() : workers, 1, count));
    std::vector<std::jthread> others;
    others.reserve(running - 1);
    for (unsigned worker = 1; worker < running; ++worker) {
        others.emplace_back([&work, worker] { work(worker, {}); });
    }
    // The calling thread works too, and after each of its tasks hands on what is done.
    work(0, [&] { handOnFinished(false); });
    handOnFinished(true);
}

} // namespace engine
