#include "engine/journal/UndoablePackages.h"

#include "engine/base/CanonicalPath.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace engine {

std::string FolderPrefix(const std::string& folder)
{
    std::string prefix = CanonicalPath(folder);
    if (prefix.empty() || prefix.back() != '/') {
        prefix += '/';
    }
    return prefix;
}

bool IsBelow(const std::string& package, const std::string& prefix)
{
    return package.rfind(prefix, 0) == 0;
}

NamedPackages::NamedPackages(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            m_prefixes.push_back(FolderPrefix(path));
        } else {
            m_packages.insert(CanonicalPath(path));
        }
    }
}

bool NamedPackages::Contains(const std::string& package) const
{
    return m_packages.count(package) > 0 ||
           std::any_of(m_prefixes.begin(), m_prefixes.end(),
                       [&](const std::string& prefix) { return IsBelow(package, prefix); });
}

RunUndone UndoneState(const JournalRun& run)
{
    std::size_t saved = 0;
    std::size_t undone = 0;
    for (const JournalEntry& entry : run.Entries) {
        if (entry.Produced) {
            ++saved;
            undone += entry.Undone ? 1 : 0;
        }
    }
    if (undone == 0) {
        return RunUndone::None;
    }
    return undone == saved ? RunUndone::Wholly : RunUndone::Partly;
}

std::vector<std::string>
UndoablePackages(const std::vector<JournalRun>& runs, const std::string& runId, const std::string& prefix)
{
    std::vector<std::string> packages;
    std::set<std::string> seen;
    for (const JournalRun& run : runs) {
        if (!runId.empty() && run.Id != runId) {
            continue;
        }
        for (const JournalEntry& entry : run.Entries) {
            if (entry.Produced && !entry.Undone && IsBelow(entry.Package, prefix) &&
                seen.insert(entry.Package).second) {
                packages.push_back(entry.Package);
            }
        }
    }
    return packages;
}

UndoableRun LatestUndoableRun(const std::vector<JournalRun>& runs)
{
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        std::vector<std::string> packages;
        for (const JournalEntry& entry : run->Entries) {
            if (entry.Produced && !entry.Undone) {
                packages.push_back(entry.Package);
            }
        }
        if (!packages.empty()) {
            return UndoableRun{&*run, std::move(packages)};
        }
    }
    return {};
}

} // namespace engine
