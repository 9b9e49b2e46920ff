#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

// Runs a piece of work in a forked child so that a test can watch what a crash, a kill, a resource
// limit or a dropped privilege does to it without risking the test process itself.
namespace reliability {

// Named results that the child reports back (values may hold any bytes).
using Report = std::map<std::string, std::string>;

struct ChildResult
{
    bool exited = false; // ended by returning or exit(), not by a signal
    int exitCode = -1;
    int signal = 0;
    long maxRssKb = 0; // peak resident memory of the child
    Report report;
    std::string error; // an exception that escaped the work
};

// Forks; the child sets an alarm of watchdogSeconds (a hang then ends it with SIGALRM), runs `work`
// and sends its report back. The parent waits for the child and collects the result.
ChildResult RunInChild(const std::function<Report()>& work, unsigned watchdogSeconds = 120);

// Forks one child per piece of work, all running at the same time, and collects their results in
// the same order.
std::vector<ChildResult> RunInChildren(const std::vector<std::function<Report()>>& work, unsigned watchdogSeconds = 120);

// Forks a child running `work`, lets it run for delayMicroseconds, then kills it with SIGKILL (if it
// has not finished) and reaps it; a negative delay waits for the end. Returns true when the child
// finished on its own.
bool RunAndKill(const std::function<void()>& work, long delayMicroseconds);

// True when the build carries AddressSanitizer, whose shadow memory inflates resident sizes.
bool UnderAddressSanitizer();

} // namespace reliability
