#include "engine/ParallelLoad.h"

#include "engine/LoadDocument.h"
#include "engine/UsableCores.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace engine {

namespace {

std::unique_ptr<DocumentRecord> NewRecord(const ScannedFile& file)
{
    auto record = std::make_unique<DocumentRecord>();
    record->FullPath = file.FullPath;
    record->FileName = file.FileName;
    record->FileSize = std::to_string(file.Size);
    record->FileExt = file.Ext;
    record->FileType = "file";
    return record;
}

// The shared state of one parallel load: workers take the next index and mark it done; the
// calling thread loads packages too while the next one in order is not done, and appends in order.
// Taking and finishing a package need no lock: the lock and a wake-up are paid only when the
// calling thread, with nothing left to take, waits for the very package a worker has just finished.
class LoadPool
{
public:
    LoadPool(const std::vector<ScannedFile>& files, const Progress& progress)
        : m_files(files)
        , m_progress(progress)
        , m_records(files.size())
        , m_done(std::make_unique<std::atomic<bool>[]>(files.size()))
    {}

    ~LoadPool()
    {
        m_stop = true;
        for (std::thread& worker : m_workers) {
            worker.join();
        }
    }

    LoadPool(const LoadPool&) = delete;
    LoadPool& operator=(const LoadPool&) = delete;

    void Start(unsigned threadCount)
    {
        m_workerCount = threadCount;
        for (unsigned i = 0; i < threadCount; ++i) {
            m_workers.emplace_back([this] { Work(); });
        }
    }

    // The records from index i on that are loaded, in order, once i is: at least one, or none when
    // the load was cancelled before i was taken.
    std::vector<std::unique_ptr<DocumentRecord>> WaitFrom(std::size_t i)
    {
        {
            std::unique_lock lock(m_mutex);
            m_awaited = i; // before done[i] is read: a worker finishing i now sees it and wakes us
            m_changed.wait(lock, [&] { return m_done[i].load() || m_idle == m_workerCount; });
            m_awaited = kNoneAwaited;
        }
        std::vector<std::unique_ptr<DocumentRecord>> loaded;
        for (std::size_t j = i; j < m_files.size() && m_done[j].load(std::memory_order_acquire); ++j) {
            loaded.push_back(std::move(m_records[j]));
        }
        return loaded;
    }

    [[nodiscard]] bool Done(std::size_t i) const { return m_done[i].load(std::memory_order_acquire); }

    // Takes the next package and loads it; false when none is left or the load was cancelled.
    // A package taken is always finished, so once every worker is idle an unfinished index will
    // stay unfinished.
    bool LoadNext()
    {
        if (m_stop || m_progress.Cancelled()) {
            return false;
        }
        const std::size_t i = m_next.fetch_add(1);
        if (i >= m_files.size()) {
            return false;
        }
        auto record = NewRecord(m_files[i]);
        LoadDocument(*record); // never throws; failures stay in the record's LastError
        m_records[i] = std::move(record);
        m_done[i].store(true); // before m_awaited is read, pairing with WaitFrom
        if (m_awaited.load() == i) {
            std::lock_guard lock(m_mutex);
            m_changed.notify_one(); // only the appending thread waits
        }
        return true;
    }

private:
    void Work()
    {
        while (LoadNext()) {
        }
        std::lock_guard lock(m_mutex);
        ++m_idle;
        m_changed.notify_one();
    }

    static constexpr std::size_t kNoneAwaited = static_cast<std::size_t>(-1);
    const std::vector<ScannedFile>& m_files;
    const Progress& m_progress;
    std::vector<std::unique_ptr<DocumentRecord>> m_records; // slot i is the taker's until done[i]
    std::unique_ptr<std::atomic<bool>[]> m_done;
    std::atomic<std::size_t> m_next = 0;
    std::atomic<std::size_t> m_awaited = kNoneAwaited;
    std::size_t m_idle = 0; // guarded by m_mutex
    std::size_t m_workerCount = 0;
    std::atomic<bool> m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::thread> m_workers;
};

void AppendChecked(DocumentList& list, DocumentRecord&& record)
{
    const std::size_t row = list.RowCount();
    list.AppendRow() = std::move(record);
    list.SetCheckState(row, kChecked);
}

} // namespace

void AppendLoadedRows(DocumentList& list, const std::vector<ScannedFile>& files, const Progress& progress)
{
    if (files.empty()) {
        return;
    }
    if (files.size() == 1) {
        // A single package is not worth a thread: starting one costs more than a small load.
        auto record = NewRecord(files.front());
        LoadDocument(*record);
        if (progress.Cancelled()) {
            return;
        }
        AppendChecked(list, std::move(*record));
        progress.Report(1, 1, files.front().FullPath);
        return;
    }
    const unsigned cores = UsableCores();
    LoadPool pool(files, progress);
    // The calling thread is one of the loaders.
    pool.Start(static_cast<unsigned>(std::min<std::size_t>(cores, files.size())) - 1);
    // A cancel request ends the appending at once, so the rows are exactly those appended before it.
    for (std::size_t i = 0; i < files.size() && !progress.Cancelled();) {
        while (!pool.Done(i) && pool.LoadNext()) {
        }
        std::vector<std::unique_ptr<DocumentRecord>> loaded = pool.WaitFrom(i);
        if (loaded.empty()) {
            break; // cancelled: nothing at or after i was loaded
        }
        for (std::size_t k = 0; k < loaded.size() && !progress.Cancelled(); ++k, ++i) {
            AppendChecked(list, std::move(*loaded[k]));
            progress.Report(i + 1, files.size(), files[i].FullPath);
        }
    }
}

} // namespace engine
