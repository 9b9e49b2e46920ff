#include "engine/ParallelSave.h"

#include "engine/ScratchFolder.h"
#include "engine/UsableCores.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace engine {

namespace {

// The records of one package, in the given order.
using Group = std::vector<std::size_t>;

std::vector<Group> GroupByPackage(const std::vector<DocumentRecord*>& records)
{
    std::vector<Group> groups;
    std::map<std::string, std::size_t> groupOfPath;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto [it, added] = groupOfPath.try_emplace(records[i]->FullPath, groups.size());
        if (added) {
            groups.emplace_back();
        }
        groups[it->second].push_back(i);
    }
    return groups;
}

// Workers take the next package and mark each of its records done; the calling thread is one of
// them and hands the outcomes on in order.
class SavePool
{
public:
    SavePool(const std::vector<DocumentRecord*>& records,
             const Progress& progress,
             const SaveOptions& options,
             unsigned workers)
        : m_records(records)
        , m_groups(GroupByPackage(records))
        , m_progress(progress)
        , m_options(options)
        , m_workerCount(workers == 0 ? SaveWorkers() : workers)
        , m_outcomes(records.size())
        , m_done(records.size(), false)
    {}

    ~SavePool()
    {
        for (std::thread& worker : m_workers) {
            worker.join();
        }
    }

    SavePool(const SavePool&) = delete;
    SavePool& operator=(const SavePool&) = delete;

    // Starts the other workers; the calling thread is one of them through Work().
    void Start()
    {
        const std::size_t count = std::min<std::size_t>(m_workerCount, m_groups.size());
        for (std::size_t i = 1; i < count; ++i) {
            m_workers.emplace_back([this] { Work({}); });
        }
    }

    // Saves packages until none is left, calling afterEach after each record.
    void Work(const std::function<void()>& afterEach)
    {
        std::optional<ScratchFolder> scratch;
        try {
            scratch.emplace();
        } catch (...) {
            // Each save then tries a folder of its own and reports why it cannot have one.
        }
        for (;;) {
            std::size_t g = 0;
            {
                std::lock_guard lock(m_mutex);
                if (m_progress.Cancelled() || m_nextGroup >= m_groups.size()) {
                    ++m_idle;
                    m_changed.notify_all();
                    return;
                }
                g = m_nextGroup++;
            }
            for (std::size_t i : m_groups[g]) {
                m_progress.Report(m_finished, m_records.size(), m_records[i]->FullPath);
                DocumentOutcome outcome =
                    SaveDocument(*m_records[i], m_options, scratch ? &*scratch : nullptr);
                {
                    std::lock_guard lock(m_mutex);
                    m_outcomes[i] = std::move(outcome);
                    m_done[i] = true;
                    ++m_finished;
                    m_changed.notify_all();
                }
                if (afterEach) {
                    afterEach();
                }
            }
        }
    }

    // The outcome of record i: when wait is set, once it is saved; nothing when it will not be
    // saved (cancelled) or, without wait, is not saved yet.
    std::optional<DocumentOutcome> Take(std::size_t i, bool wait)
    {
        std::unique_lock lock(m_mutex);
        if (wait) {
            m_changed.wait(lock, [&] { return m_done[i] || m_idle == m_workers.size() + 1; });
        }
        return m_done[i] ? std::optional(std::move(m_outcomes[i])) : std::nullopt;
    }

private:
    const std::vector<DocumentRecord*>& m_records;
    const std::vector<Group> m_groups;
    const Progress& m_progress;
    const SaveOptions m_options;
    const unsigned m_workerCount;
    std::vector<DocumentOutcome> m_outcomes;
    std::vector<bool> m_done;
    std::size_t m_nextGroup = 0;
    std::size_t m_idle = 0;
    std::atomic<std::size_t> m_finished = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::thread> m_workers;
};

} // namespace

void SaveRecords(const std::vector<DocumentRecord*>& records,
                 const Progress& progress,
                 const std::function<void(std::size_t, const DocumentOutcome&)>& finished,
                 const SaveOptions& options,
                 unsigned workers)
{
    if (records.empty()) {
        return;
    }
    SavePool pool(records, progress, options, workers);
    pool.Start();
    std::size_t next = 0;
    // The calling thread saves too, and hands on in order whatever is done after each of its saves.
    const auto handOn = [&](bool wait) {
        while (next < records.size()) {
            const std::optional<DocumentOutcome> outcome = pool.Take(next, wait);
            if (!outcome) {
                return;
            }
            finished(next++, *outcome);
        }
    };
    pool.Work([&] { handOn(false); });
    handOn(true);
}

} // namespace engine
