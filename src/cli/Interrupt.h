#pragma once

#include <atomic>

namespace cli {

// While it lives, Ctrl+C (SIGINT), SIGTERM and SIGHUP ask the work to stop instead of killing the
// process: the packages in hand are finished, the rest are left as they are, and the command ends
// with 128 + the signal's number. A second such signal ends the process. Standard output closed by
// its reader (SIGPIPE) fails the writes instead, so a run is never cut in the middle of a package.
class InterruptScope
{
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    // Set once a stopping signal came; for engine::Progress::CancelRequested.
    [[nodiscard]] static const std::atomic<bool>& Requested();
    // The exit status of a command the signal stopped: 128 + its number (130 for Ctrl+C).
    [[nodiscard]] static int ExitStatus();
};

} // namespace cli
