#include "cli/Interrupt.h"

#include <array>
#include <csignal>

namespace cli {

namespace {

constexpr std::array<int, 3> kStoppingSignals = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> g_requested = false;
std::atomic<int> g_signal = SIGINT;
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "set from a signal handler");

std::array<struct sigaction, kStoppingSignals.size()> g_previous{};

struct sigaction g_previousPipe
{
};

extern "C" void OnStoppingSignal(int number)
{
    g_signal.store(number);
    g_requested.store(true);
    // The next one is not caught: a user who insists ends the process.
    for (const int other : kStoppingSignals) {
        std::signal(other, SIG_DFL);
    }
}

} // namespace

InterruptScope::InterruptScope()
{
    g_requested.store(false);
    g_signal.store(SIGINT);

    struct sigaction action
    {
    };

    action.sa_handler = OnStoppingSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kStoppingSignals.size(); ++i) {
        sigaction(kStoppingSignals[i], &action, &g_previous[i]);
    }

    struct sigaction ignore
    {
    };

    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &g_previousPipe);
}

InterruptScope::~InterruptScope()
{
    for (std::size_t i = 0; i < kStoppingSignals.size(); ++i) {
        sigaction(kStoppingSignals[i], &g_previous[i], nullptr);
    }
    sigaction(SIGPIPE, &g_previousPipe, nullptr);
}

const std::atomic<bool>& InterruptScope::Requested()
{
    return g_requested;
}

int InterruptScope::ExitStatus()
{
    return 128 + g_signal.load();
}

} // namespace cli
