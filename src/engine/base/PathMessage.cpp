#include "engine/base/PathMessage.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace engine {
namespace {

// The names the layers below may have used for the file: as given, absolute, and with links resolved
// (the journal reads a package by its resolved name). Longest first, so that a longer name is taken
// out before a shorter one could match inside it.
std::vector<std::string> NamesOf(std::string_view path)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names{std::string(path)};
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(path), ec);
    if (!ec) {
        names.push_back(absolute.lexically_normal().string());
        const fs::path canonical = fs::weakly_canonical(absolute, ec);
        if (!ec) {
            names.push_back(canonical.string());
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// A mention is the whole name, not the end of a longer path ("/folder/a.pptx" holds "a.pptx").
bool IsWholeMention(const std::string& text, std::size_t begin, std::size_t end)
{
    const bool startsClean = begin == 0 || text[begin - 1] == ' ';
    const bool endsClean = end == text.size() || text[end] == ':' || text[end] == ';' || text[end] == ' ';
    return startsClean && endsClean;
}

void RemoveMentions(std::string& text, const std::string& path)
{
    for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at)) {
        std::size_t begin = at;
        std::size_t end = at + path.size();
        if (!IsWholeMention(text, begin, end)) {
            ++at;
            continue;
        }
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
}

} // namespace

std::string WithoutPath(std::string_view message, std::string_view path)
{
    std::string text(message);
    // An empty message (every load that succeeds) must not cost a resolution of the path's links.
    if (path.empty() || text.empty()) {
        return text;
    }
    for (const std::string& name : NamesOf(path)) {
        RemoveMentions(text, name);
    }
    return text;
}

std::string PathMessage(std::string_view path, std::string_view message)
{
    return std::string(path) + ": " + WithoutPath(message, path);
}

} // namespace engine
