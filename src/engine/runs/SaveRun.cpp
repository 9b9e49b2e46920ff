#include "engine/runs/SaveRun.h"

#include "engine/journal/JournalFormat.h"
#include "engine/journal/SaveJournal.h"
#include "engine/package/LoadDocument.h"
#include "engine/package/OtherProgramLock.h"
#include "engine/package/SamePackage.h"
#include "engine/package/SaveDocument.h"
#include "engine/package/ScratchFolder.h"
#include "engine/record/EditState.h"
#include "engine/base/PathMessage.h"
#include "engine/base/OrderedPool.h"
#include "engine/base/UsableCores.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

namespace engine {

namespace {

// The records of one package, in the given order.
struct PackageGroup
{
    std::vector<std::size_t> Records;
    // With several records: their changes merged into one record, which the save writes.
    std::unique_ptr<DocumentRecord> Merged;
    DocumentOutcome Outcome;
};

// The records of each package that has a modified one; records of other packages are left out.
std::vector<PackageGroup> GroupByPackage(const std::vector<DocumentRecord*>& records)
{
    std::vector<PackageGroup> groups;
    std::vector<bool> modified;
    std::map<std::string, std::size_t> groupOfPackage;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto [it, added] =
            groupOfPackage.try_emplace(SamePackageKey(records[i]->FullPath), groups.size());
        if (added) {
            groups.emplace_back();
            modified.push_back(false);
        }
        groups[it->second].Records.push_back(i);
        modified[it->second] = modified[it->second] || records[i]->Modified;
    }
    std::size_t kept = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (modified[g]) {
            if (kept != g) {
                groups[kept] = std::move(groups[g]);
            }
            ++kept;
        }
    }
    groups.resize(kept);
    return groups;
}

// The record a group's save writes: the record itself, or the merge of its records.
DocumentRecord& RecordToSave(PackageGroup& group, const std::vector<DocumentRecord*>& records)
{
    if (group.Records.size() == 1) {
        return *records[group.Records.front()];
    }
    if (!group.Merged) {
        group.Merged = std::make_unique<DocumentRecord>(*records[group.Records.front()]);
        for (std::size_t k = 1; k < group.Records.size(); ++k) {
            MergeChanges(*group.Merged, *records[group.Records[k]]);
        }
    }
    return *group.Merged;
}

// Saves the group's package and brings its records up to date.
void SaveGroup(PackageGroup& group,
               const std::vector<DocumentRecord*>& records,
               const SaveOptions& options,
               const SaveRunSettings& settings,
               ScratchFolder* scratch)
{
    DocumentRecord& saved = RecordToSave(group, records);
    // The other program would write its copy over this save when it saves.
    const std::optional<OtherProgramLock> lock =
        settings.IgnoreLocks ? std::nullopt : FindOtherProgramLock(saved.FullPath);
    if (lock) {
        group.Outcome = DocumentOutcome{false, OpenElsewhereMessage(*lock, settings.LockOverrideHint)};
        for (const std::size_t i : group.Records) {
            records[i]->LastError = group.Outcome.message;
        }
        return;
    }
    group.Outcome = SaveDocument(saved, options, scratch);
    if (group.Records.size() == 1) {
        if (group.Outcome.ok) {
            RefreshFileSize(saved);
        }
        return;
    }
    for (const std::size_t i : group.Records) {
        DocumentRecord& record = *records[i];
        if (!group.Outcome.ok) {
            record.LastError = saved.LastError; // every row keeps its changes
            continue;
        }
        // Each row shows the package as it is now: the changes of all of them.
        const std::string error = LoadDocument(record).ok ? std::string() : record.LastError;
        RefreshFileSize(record);
        record.LastWarning = saved.LastWarning;
        record.LastError = error;
    }
}

std::unique_ptr<SaveJournal> StartJournal(std::vector<PackageGroup>& groups,
                                          const std::vector<DocumentRecord*>& records,
                                          const SaveRunSettings& settings)
{
    std::vector<const DocumentRecord*> saved;
    saved.reserve(groups.size());
    for (PackageGroup& group : groups) {
        saved.push_back(&RecordToSave(group, records));
    }
    return StartSaveRun(saved, settings.JournalRoot.empty() ? DefaultJournalRoot() : settings.JournalRoot);
}

} // namespace

SaveRunReport SaveRun(const std::vector<DocumentRecord*>& records,
                      const SaveRunSettings& settings,
                      const Progress& progress,
                      const std::function<void(std::size_t, const SaveResult&)>& finished)
{
    SaveRunReport report;
    report.Results.resize(records.size(), SaveResult{SaveState::Unchanged, {}, 1, true});
    std::vector<PackageGroup> groups = GroupByPackage(records);
    std::vector<std::size_t> groupOfRecord(records.size(), groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (const std::size_t i : groups[g].Records) {
            groupOfRecord[i] = g;
            report.Results[i].RecordsOfPackage = groups[g].Records.size();
            report.Results[i].FirstOfPackage = i == groups[g].Records.front();
        }
    }
    // A record is settled once its package is: handed on in order after the last group it waits for.
    std::size_t nextRecord = 0;
    const auto handOnUpTo = [&](std::size_t end) {
        for (; nextRecord < end; ++nextRecord) {
            if (finished) {
                finished(nextRecord, report.Results[nextRecord]);
            }
        }
    };

    std::unique_ptr<SaveJournal> journal;
    if (settings.Journal && !groups.empty()) {
        try {
            journal = StartJournal(groups, records, settings);
        } catch (const EJournalError& e) {
            // Never a save without its undo record: nothing is touched.
            report.JournalFailure = e.what();
            for (PackageGroup& group : groups) {
                for (const std::size_t i : group.Records) {
                    report.Results[i] = {SaveState::Failed, std::string("not saved: ") + e.what(),
                                         group.Records.size(), i == group.Records.front()};
                }
            }
            report.Failed = groups.size();
            handOnUpTo(records.size());
            return report;
        }
    }
    const SaveOptions options{journal.get(), settings.KeepModificationTime};

    const unsigned workerCount = settings.Workers == 0 ? SaveWorkers() : settings.Workers;
    std::vector<std::optional<ScratchFolder>> scratch(std::min<std::size_t>(workerCount, groups.size()));
    std::atomic<std::size_t> done = 0;
    std::vector<bool> groupSettled(groups.size(), false);
    RunInOrder(
        groups.size(), workerCount, progress,
        [&](std::size_t g, unsigned worker) {
            PackageGroup& group = groups[g];
            progress.Report(done.load(), groups.size(), records[group.Records.front()]->FullPath);
            std::optional<ScratchFolder>& folder = scratch[worker];
            if (!folder) {
                try {
                    folder.emplace();
                } catch (...) {
                    // The save then tries a folder of its own and reports why it cannot have one.
                }
            }
            SaveGroup(group, records, options, settings, folder ? &*folder : nullptr);
            progress.Report(done.fetch_add(1) + 1, groups.size(), records[group.Records.front()]->FullPath);
        },
        [&](std::size_t g, bool ran) {
            PackageGroup& group = groups[g];
            const DocumentOutcome outcome =
                ran ? group.Outcome : DocumentOutcome{false, std::string(kNotSavedCancelled)};
            const SaveState state = !ran         ? SaveState::NotSaved
                                    : outcome.ok ? SaveState::Saved
                                                 : SaveState::Failed;
            (state == SaveState::Saved    ? report.Saved
             : state == SaveState::Failed ? report.Failed
                                          : report.NotSaved)++;
            for (const std::size_t i : group.Records) {
                report.Results[i].State = state;
                report.Results[i].Message = outcome.message;
            }
            groupSettled[g] = true;
            // Records of unmodified rows, and of packages whose groups settled, go out in order.
            std::size_t end = nextRecord;
            while (end < records.size() &&
                   (groupOfRecord[end] == groups.size() || groupSettled[groupOfRecord[end]])) {
                ++end;
            }
            handOnUpTo(end);
        });
    handOnUpTo(records.size());
    report.Cancelled = report.NotSaved > 0;
    if (journal) {
        try {
            journal->Finish();
        } catch (const EJournalError& e) {
            report.JournalFinishFailure = e.what();
        }
    }
    return report;
}

} // namespace engine
