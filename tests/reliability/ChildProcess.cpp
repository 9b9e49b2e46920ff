#include "reliability/ChildProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace reliability {
namespace {

void WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string ReadAll(int fd)
{
    std::string out;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) {
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

// Length-prefixed key/value pairs, so values may hold newlines and NUL bytes.
std::string Encode(const Report& report)
{
    std::string out;
    for (const auto& [key, value] : report) {
        for (const std::string* s : {&key, &value}) {
            out += std::to_string(s->size()) + ':' + *s;
        }
    }
    return out;
}

Report Decode(const std::string& bytes)
{
    Report report;
    std::size_t at = 0;
    const auto next = [&](std::string& out) {
        const std::size_t colon = bytes.find(':', at);
        if (colon == std::string::npos) {
            return false;
        }
        const std::size_t length = std::stoul(bytes.substr(at, colon - at));
        out = bytes.substr(colon + 1, length);
        at = colon + 1 + length;
        return true;
    };
    std::string key;
    std::string value;
    while (at < bytes.size() && next(key) && next(value)) {
        report[key] = value;
    }
    return report;
}

} // namespace

namespace {

struct Started
{
    pid_t pid = -1;
    int readFd = -1;
};

Started Start(const std::function<Report()>& work, unsigned watchdogSeconds)
{
    int fds[2];
    if (pipe(fds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        close(fds[0]);
        alarm(watchdogSeconds);
        int code = 0;
        Report report;
        try {
            report = work();
        } catch (const std::exception& e) {
            report = {{"exception", e.what()}};
            code = 3;
        } catch (...) {
            report = {{"exception", "unknown"}};
            code = 3;
        }
        WriteAll(fds[1], Encode(report));
        close(fds[1]);
        // exit() rather than _exit(): the leak checker of a sanitizer build runs at exit.
        std::exit(code);
    }
    close(fds[1]);
    return {pid, fds[0]};
}

ChildResult Collect(const Started& child)
{
    ChildResult result;
    const std::string bytes = ReadAll(child.readFd);
    close(child.readFd);
    int status = 0;
    rusage usage{};
    while (wait4(child.pid, &status, 0, &usage) < 0) {
    }
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.maxRssKb = usage.ru_maxrss;
    result.report = Decode(bytes);
    if (const auto it = result.report.find("exception"); it != result.report.end()) {
        result.error = it->second;
    }
    return result;
}

} // namespace

ChildResult RunInChild(const std::function<Report()>& work, unsigned watchdogSeconds)
{
    return Collect(Start(work, watchdogSeconds));
}

std::vector<ChildResult> RunInChildren(const std::vector<std::function<Report()>>& work, unsigned watchdogSeconds)
{
    std::vector<Started> started;
    for (const auto& w : work) {
        started.push_back(Start(w, watchdogSeconds));
    }
    std::vector<ChildResult> results;
    for (const Started& child : started) {
        results.push_back(Collect(child));
    }
    return results;
}

bool RunAndKill(const std::function<void()>& work, long delayMicroseconds)
{
    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        try {
            work();
        } catch (...) {
        }
        _exit(0);
    }
    int status = 0;
    if (delayMicroseconds < 0) {
        while (waitpid(pid, &status, 0) < 0) {
        }
        return true;
    }
    // Poll rather than sleep the whole delay, so that a child that ends early is noticed at once.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(delayMicroseconds);
    bool finished = false;
    while (!(finished = waitpid(pid, &status, WNOHANG) == pid) && std::chrono::steady_clock::now() < deadline) {
        usleep(50);
    }
    if (!finished) {
        kill(pid, SIGKILL);
        while (waitpid(pid, &status, 0) < 0) {
        }
    }
    return finished;
}

bool UnderAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

} // namespace reliability
