#include "engine/journal/JournalFormat.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace engine {

namespace fs = std::filesystem;

const JournalEntry* JournalRun::Find(const std::string& package) const
{
    for (const JournalEntry& entry : Entries) {
        if (entry.Package == package) {
            return &entry;
        }
    }
    return nullptr;
}

std::size_t JournalRun::ProducedCount() const
{
    std::size_t count = 0;
    for (const JournalEntry& entry : Entries) {
        count += entry.Produced ? 1 : 0;
    }
    return count;
}

fs::path DefaultJournalRoot()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') { // relative values are invalid and ignored
        return fs::path(state) / "velmora" / "journal";
    }
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : "/") / ".local" / "state" / "velmora" / "journal";
}

void PutField(std::string& out, std::string_view key, std::string_view value)
{
    out.append(key);
    out += ' ';
    out += std::to_string(value.size());
    out += '\n';
    out.append(value);
    out += '\n';
}

std::vector<std::pair<std::string, std::string>> ParseFields(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> fields;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t space = text.find(' ', at);
        const std::size_t newline = text.find('\n', at);
        if (space == std::string_view::npos || newline == std::string_view::npos || newline < space) {
            throw std::runtime_error("damaged journal field");
        }
        const std::string length(text.substr(space + 1, newline - space - 1));
        if (length.empty() || length.find_first_not_of("0123456789") != std::string::npos) {
            throw std::runtime_error("damaged journal field");
        }
        const std::size_t size = std::stoull(length);
        const std::size_t start = newline + 1;
        if (size > text.size() - start || start + size >= text.size() || text[start + size] != '\n') {
            throw std::runtime_error("truncated journal field");
        }
        fields.emplace_back(std::string(text.substr(at, space - at)), std::string(text.substr(start, size)));
        at = start + size + 1;
    }
    return fields;
}

void PutEntry(std::string& out, const JournalEntry& entry)
{
    PutField(out, "package", entry.Package);
    if (entry.HasMtimeBefore) {
        PutField(out, "mtime",
                 std::to_string(entry.MtimeBeforeSeconds) + " " +
                     std::to_string(entry.MtimeBeforeNanoseconds));
    }
    for (const JournalMember& member : entry.Members) {
        PutField(out, "member", member.Name);
        if (member.Bytes) {
            PutField(out, "bytes", *member.Bytes);
        } else {
            PutField(out, "absent", "");
        }
    }
}

std::string FactsField(const ProducedFacts& facts)
{
    return std::to_string(facts.Size) + " " + std::to_string(facts.MtimeSeconds) + " " +
           std::to_string(facts.MtimeNanoseconds) + " " + facts.Digest;
}

ProducedFacts ParseFactsField(const std::string& field)
{
    ProducedFacts facts;
    std::istringstream in(field);
    in >> facts.Size >> facts.MtimeSeconds >> facts.MtimeNanoseconds >> facts.Digest;
    return facts;
}

void PutOutcomes(std::string& out, const JournalEntry& entry)
{
    if (entry.Produced) {
        PutField(out, "produced", entry.Package);
        PutField(out, "facts", FactsField(entry.Made));
    }
    if (entry.Replaced) {
        PutField(out, "replaced", entry.Package);
    }
    if (entry.UndoProduced) {
        PutField(out, "undo-produced", entry.Package);
        PutField(out, "undo-facts", FactsField(entry.UndoMade));
    }
    if (entry.Undone) {
        PutField(out, "undone", entry.Package);
    }
}

void WriteJournalFile(const fs::path& path, std::string_view bytes)
{
    archive::TemporaryArchive file(path, archive::IdentityOf(path));
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = write(file.Fd(), data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw std::runtime_error(path.string() + ": " + std::strerror(n < 0 ? errno : ENOSPC));
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    file.Commit();
}

} // namespace engine
