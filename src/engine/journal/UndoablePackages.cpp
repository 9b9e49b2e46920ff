#include "engine/journal/UndoablePackages.h"

#include <set>

namespace engine {

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
            if (entry.Produced && !entry.Undone && entry.Package.rfind(prefix, 0) == 0 &&
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
