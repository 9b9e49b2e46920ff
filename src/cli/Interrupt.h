#pragma once

#include <atomic>

namespace cli {

// While it lives, Ctrl+C (SIGINT) asks the work to stop instead of killing the process: the
// packages in hand are finished, the rest are left as they are. A second Ctrl+C ends the process.
class InterruptScope
{
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    // Set once Ctrl+C was pressed; for engine::Progress::CancelRequested.
    [[nodiscard]] static const std::atomic<bool>& Requested();
};

} // namespace cli
