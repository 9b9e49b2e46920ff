#include "cli/Diagnostics.h"

#include "engine/base/PathMessage.h"

#include <iostream>

namespace cli {

std::string PathComplaint(std::string_view path, std::string_view reason)
{
    std::string line(kProgramName);
    line += ": ";
    line += engine::PathMessage(path, reason);
    return line;
}

void WriteComplaint(std::ostream& out, std::string_view message)
{
    const std::string prefix = std::string(kProgramName) + ": ";
    while (!message.empty()) {
        const std::size_t end = message.find('\n');
        std::string_view line = message.substr(0, end);
        out << prefix << line << '\n';
        message = end == std::string_view::npos ? std::string_view{} : message.substr(end + 1);
    }
}

void Complain(std::string_view message)
{
    WriteComplaint(std::cerr, message);
}

void ComplainAll(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        Complain(line);
    }
}

void Complain(std::string_view path, std::string_view reason)
{
    std::cerr << PathComplaint(path, reason) << '\n';
}

} // namespace cli
