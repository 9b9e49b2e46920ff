#include "cli/PathList.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace cli {

namespace {

std::string ReadAll(int fd, const std::string& name)
{
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return bytes;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error(name + ": cannot read: " + std::strerror(errno));
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

std::vector<std::string> SplitPathList(std::string_view bytes, bool nullSeparated)
{
    const char separator = nullSeparated ? '\0' : '\n';
    std::vector<std::string> paths;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find(separator);
        const std::string_view entry = bytes.substr(0, end);
        if (!entry.empty()) {
            paths.emplace_back(entry);
        }
        bytes = end == std::string_view::npos ? std::string_view{} : bytes.substr(end + 1);
    }
    return paths;
}

std::vector<std::string> ReadPathList(const std::string& file, bool nullSeparated)
{
    if (file == "-") {
        return SplitPathList(ReadAll(STDIN_FILENO, "standard input"), nullSeparated);
    }
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error(file + ": cannot read: " + std::strerror(errno));
    }
    try {
        std::string bytes = ReadAll(fd, file);
        ::close(fd);
        return SplitPathList(bytes, nullSeparated);
    } catch (...) {
        ::close(fd);
        throw;
    }
}

} // namespace cli
