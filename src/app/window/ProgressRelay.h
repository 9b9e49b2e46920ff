#pragma once

#include <QPointer>

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

namespace app {

class TWaitForm;

// Hands the progress of worker threads to the wait box with at most one update on its way: a
// worker only stores the latest figures, and the UI thread shows the latest when it gets there.
// Posting every report instead queues thousands of events on a large folder and starves the UI
// thread's timers and input.
class ProgressRelay : public std::enable_shared_from_this<ProgressRelay>
{
public:
    explicit ProgressRelay(TWaitForm* box);

    // Any thread.
    void Report(std::size_t done, std::size_t total, const std::string& path);

private:
    void Show();

    QPointer<TWaitForm> m_box;
    std::mutex m_mutex;
    std::size_t m_done = 0;
    std::size_t m_total = 0;
    std::string m_path;
    bool m_pending = false;
};

} // namespace app
