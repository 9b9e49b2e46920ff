#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

// How long engine work reports progress and learns that the user wants it to stop.
namespace engine {

struct Progress
{
    // Called with the number of packages finished, the total, and the path now being worked on.
    // May be called from worker threads; the receiver marshals to its own thread.
    std::function<void(std::size_t done, std::size_t total, const std::string& currentPath)> OnProgress;
    // Set by the caller to ask the work to stop after the package in hand; may be null.
    const std::atomic<bool>* CancelRequested = nullptr;

    [[nodiscard]] bool Cancelled() const
    {
        return CancelRequested != nullptr && CancelRequested->load(std::memory_order_relaxed);
    }

    void Report(std::size_t done, std::size_t total, const std::string& currentPath) const
    {
        if (OnProgress) {
            OnProgress(done, total, currentPath);
        }
    }
};

} // namespace engine
