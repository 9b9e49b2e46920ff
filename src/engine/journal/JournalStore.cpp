#include "engine/journal/JournalStore.h"

#include "engine/journal/UndoablePackages.h"

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace engine {

namespace fs = std::filesystem;

namespace {

std::string ReadWhole(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(path.string() + ": cannot be read");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string LocalTime(const std::string& seconds)
{
    const std::time_t t = static_cast<std::time_t>(std::stoll(seconds));
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::vector<std::string> SplitList(const std::string& list)
{
    std::vector<std::string> items;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');) {
        items.push_back(item);
    }
    return items;
}

// The entries files in the order they were written: "entries", "entries.1", ...
std::vector<fs::path> EntriesFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (int n = 0;; ++n) {
        const fs::path file =
            folder / (std::string(kJournalEntriesFile) + (n == 0 ? "" : "." + std::to_string(n)));
        if (!fs::exists(file)) {
            return files;
        }
        files.push_back(file);
    }
}

JournalEntry& EntryFor(JournalRun& run, const std::string& package)
{
    for (JournalEntry& entry : run.Entries) {
        if (entry.Package == package) {
            return entry;
        }
    }
    run.Entries.push_back(JournalEntry{});
    run.Entries.back().Package = package;
    return run.Entries.back();
}

JournalRun ReadRun(const fs::path& folder)
{
    JournalRun run;
    run.Id = folder.filename().string();
    run.Folder = folder;
    const std::vector<fs::path> files = EntriesFiles(folder);
    if (files.empty()) {
        throw std::runtime_error("no entries");
    }
    for (const fs::path& file : files) {
        JournalEntry* entry = nullptr;
        std::vector<JournalMember> members;
        for (auto& [key, value] : ParseFields(ReadWhole(file))) {
            if (key == "time") {
                run.Time = LocalTime(value);
            } else if (key == "properties") {
                run.Properties = SplitList(value);
            } else if (key == "package") {
                entry = &EntryFor(run, value);
                entry->Members.clear(); // a later file records the package afresh
            } else if (key == "mtime" && entry != nullptr) {
                std::istringstream mtime(value);
                entry->HasMtimeBefore =
                    static_cast<bool>(mtime >> entry->MtimeBeforeSeconds >> entry->MtimeBeforeNanoseconds);
            } else if (key == "member" && entry != nullptr) {
                entry->Members.push_back(JournalMember{value, std::nullopt});
            } else if (key == "bytes" && entry != nullptr && !entry->Members.empty()) {
                entry->Members.back().Bytes = std::move(value);
            }
        }
    }
    const fs::path outcomes = folder / kJournalOutcomesFile;
    if (fs::exists(outcomes)) {
        JournalEntry* entry = nullptr;
        for (auto& [key, value] : ParseFields(ReadWhole(outcomes))) {
            if (key == "produced" || key == "replaced" || key == "undone") {
                entry = &EntryFor(run, value);
                entry->Produced = entry->Produced || key == "produced";
                entry->Replaced = entry->Replaced || key == "replaced";
                entry->Undone = entry->Undone || key == "undone";
            } else if (key == kNotReplacedField) {
                entry = &EntryFor(run, value);
                entry->Produced = false;
            } else if (key == "undo-produced") {
                entry = &EntryFor(run, value);
                entry->UndoProduced = true;
            } else if (key == "undo-facts" && entry != nullptr) {
                entry->UndoMade = ParseFactsField(value);
            } else if (key == "facts" && entry != nullptr) {
                entry->Made = ParseFactsField(value);
            }
        }
    }
    // An entry without recorded members was noted by a save that had no entry: nothing to undo.
    run.Entries.erase(std::remove_if(run.Entries.begin(), run.Entries.end(),
                                     [](const JournalEntry& e) { return e.Members.empty(); }),
                      run.Entries.end());
    std::error_code ec;
    for (const auto& file : fs::directory_iterator(folder, ec)) {
        run.Bytes += file.is_regular_file(ec) ? file.file_size(ec) : 0;
    }
    return run;
}

std::vector<fs::path> RunFolders(const fs::path& root)
{
    std::vector<fs::path> folders;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(root, ec)) {
        if (item.is_directory(ec) && !item.is_symlink(ec)) {
            folders.push_back(item.path());
        }
    }
    // Ids begin with the UTC time of the run, so their order is the runs' order.
    std::sort(folders.begin(), folders.end());
    return folders;
}

} // namespace

std::vector<JournalRun> ReadJournal(const fs::path& root)
{
    std::vector<JournalRun> runs;
    for (const fs::path& folder : RunFolders(root)) {
        try {
            runs.push_back(ReadRun(folder));
        } catch (const std::exception&) {
            // a run still being recorded, or damaged: neither can be undone
        }
    }
    return runs;
}

void PruneJournal(const fs::path& root, const JournalLimits& limits, const std::string& keepId)
{
    std::vector<std::pair<fs::path, std::uint64_t>> runs;
    std::uint64_t total = 0;
    for (const fs::path& folder : RunFolders(root)) {
        std::uint64_t bytes = 0;
        std::error_code ec;
        for (const auto& file : fs::directory_iterator(folder, ec)) {
            bytes += file.is_regular_file(ec) ? file.file_size(ec) : 0;
        }
        runs.emplace_back(folder, bytes);
        total += bytes;
    }
    std::size_t count = runs.size();
    for (const auto& [folder, bytes] : runs) {
        if (count <= limits.MaxRuns && total <= limits.MaxBytes) {
            break;
        }
        if (folder.filename() == keepId) {
            continue;
        }
        std::error_code ec;
        fs::remove_all(folder, ec);
        if (!ec) {
            --count;
            total -= bytes;
        }
    }
}

std::size_t PurgeJournal(const fs::path& root, const std::vector<std::string>& paths)
{
    std::size_t deleted = 0;
    if (paths.empty()) {
        for (const fs::path& folder : RunFolders(root)) {
            fs::remove_all(folder);
            ++deleted;
        }
        return deleted;
    }
    const NamedPackages named(paths);
    for (const JournalRun& run : ReadJournal(root)) {
        std::string entries;
        std::string outcomes;
        const auto header = ParseFields(ReadWhole(run.Folder / kJournalEntriesFile));
        for (const auto& [key, value] : header) {
            if (key == "time" || key == "properties") {
                PutField(entries, key, value);
            }
        }
        std::size_t kept = 0;
        for (const JournalEntry& entry : run.Entries) {
            if (named.Contains(entry.Package)) {
                ++deleted;
                continue;
            }
            PutEntry(entries, entry);
            PutOutcomes(outcomes, entry);
            ++kept;
        }
        if (kept == run.Entries.size()) {
            continue;
        }
        if (kept == 0) {
            fs::remove_all(run.Folder);
            continue;
        }
        WriteJournalFile(run.Folder / kJournalEntriesFile, entries);
        WriteJournalFile(run.Folder / kJournalOutcomesFile, outcomes);
        // Later entries files were folded into the first one; none may keep the purged text.
        for (const fs::path& file : EntriesFiles(run.Folder)) {
            if (file.filename() != kJournalEntriesFile) {
                fs::remove(file);
            }
        }
    }
    return deleted;
}

namespace {

// One write of the run's outcomes file (O_APPEND: concurrent undos never interleave), forced to disk.
void AppendOutcomeFields(const JournalRun& run, const std::string& fields)
{
    const fs::path path = run.Folder / kJournalOutcomesFile;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const bool written = fd >= 0 &&
                         write(fd, fields.data(), fields.size()) == static_cast<ssize_t>(fields.size()) &&
                         fsync(fd) == 0;
    if (fd >= 0) {
        close(fd);
    }
    if (!written) {
        throw std::runtime_error(path.string() + ": cannot be written");
    }
}

} // namespace

void RecordUndoProduced(const JournalRun& run, const std::string& package, const ProducedFacts& produced)
{
    JournalEntry entry;
    entry.Package = package;
    entry.UndoProduced = true;
    entry.UndoMade = produced;
    std::string fields;
    PutOutcomes(fields, entry);
    AppendOutcomeFields(run, fields);
}

void MarkUndone(const JournalRun& run, const std::string& package)
{
    JournalEntry entry;
    entry.Package = package;
    entry.Undone = true;
    std::string fields;
    PutOutcomes(fields, entry);
    AppendOutcomeFields(run, fields);
}

} // namespace engine
