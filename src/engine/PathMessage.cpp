#include "engine/PathMessage.h"

namespace engine {

std::string WithoutPath(std::string_view message, std::string_view path)
{
    std::string text(message);
    if (path.empty()) {
        return text;
    }
    for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at)) {
        std::size_t begin = at;
        std::size_t end = at + path.size();
        if (text.compare(end, 2, ": ") == 0) {
            end += 2; // "PATH: reason"
        } else if (begin >= 2 && text.compare(begin - 2, 2, ": ") == 0) {
            begin -= 2; // "what: PATH"
        } else if (begin >= 1 && text[begin - 1] == ' ') {
            begin -= 1; // "cannot open PATH"
        }
        text.erase(begin, end - begin);
        at = begin;
    }
    return text;
}

std::string PathMessage(std::string_view path, std::string_view message)
{
    return std::string(path) + ": " + WithoutPath(message, path);
}

} // namespace engine
