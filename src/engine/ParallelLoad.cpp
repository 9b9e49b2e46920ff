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
// calling thread waits for the next index in order and appends it.
class LoadPool
{
public:
    LoadPool(const std::vector<ScannedFile>& files, const Progress& progress)
        : m_files(files)
        , m_progress(progress)
        , m_records(files.size())
        , m_done(files.size(), false)
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
        for (unsigned i = 0; i < threadCount; ++i) {
            m_workers.emplace_back([this] { Work(); });
        }
    }

    // The record of index i once it is loaded; null when the load was cancelled before i was taken.
    std::unique_ptr<DocumentRecord> Wait(std::size_t i)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_done[i] || (m_taken <= i && m_idle == m_workers.size()); });
        return m_done[i] ? std::move(m_records[i]) : nullptr;
    }

private:
    void Work()
    {
        for (;;) {
            std::size_t i = 0;
            {
                std::lock_guard lock(m_mutex);
                if (m_stop || m_progress.Cancelled() || m_taken >= m_files.size()) {
                    ++m_idle;
                    m_changed.notify_all();
                    return;
                }
                i = m_taken++;
            }
            auto record = NewRecord(m_files[i]);
            LoadDocument(*record); // never throws; failures stay in the record's LastError
            std::lock_guard lock(m_mutex);
            m_records[i] = std::move(record);
            m_done[i] = true;
            m_changed.notify_all();
        }
    }

    const std::vector<ScannedFile>& m_files;
    const Progress& m_progress;
    std::vector<std::unique_ptr<DocumentRecord>> m_records;
    std::vector<bool> m_done;
    std::size_t m_taken = 0;
    std::size_t m_idle = 0;
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
    pool.Start(static_cast<unsigned>(std::min<std::size_t>(cores, files.size())));
    // A cancel request ends the appending at once, so the rows are exactly those appended before it.
    for (std::size_t i = 0; i < files.size() && !progress.Cancelled(); ++i) {
        std::unique_ptr<DocumentRecord> record = pool.Wait(i);
        if (!record) {
            break; // cancelled: nothing at or after i was loaded
        }
        AppendChecked(list, std::move(*record));
        progress.Report(i + 1, files.size(), files[i].FullPath);
    }
}

} // namespace engine
