#include "cli/Interrupt.h"

#include <csignal>

namespace cli {

namespace {

std::atomic<bool> g_requested = false;
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

struct sigaction g_previous
{
};

extern "C" void OnInterrupt(int)
{
    g_requested.store(true);
    // The next Ctrl+C is not caught: a user who insists ends the process.
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

InterruptScope::InterruptScope()
{
    g_requested.store(false);

    struct sigaction action
    {
    };

    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &g_previous);
}

InterruptScope::~InterruptScope()
{
    sigaction(SIGINT, &g_previous, nullptr);
}

const std::atomic<bool>& InterruptScope::Requested()
{
    return g_requested;
}

} // namespace cli
