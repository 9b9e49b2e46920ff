#include "engine/journal/UndoSave.h"

#include "archive/TArchiveReader.h"
#include "engine/journal/JournalStore.h"
#include "engine/package/PackageFingerprint.h"
#include "engine/package/OtherProgramLock.h"
#include "engine/parts/PartLocator.h"
#include "engine/package/SaveHooks.h"
#include "engine/package/ScratchFolder.h"
#include "engine/base/OrderedPool.h"
#include "engine/base/UsableCores.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace engine {

namespace {

struct Choice
{
    const JournalRun* Run = nullptr;
    const JournalEntry* Entry = nullptr;
    // An earlier undo of this save replaced the package but did not get to note it.
    bool AlreadyRestored = false;
};

// The save to undo: the latest (or the named run's) that replaced the package and was not undone
// yet. The package must be what that save produced, or what the undo of another run produced (the
// state before that run, which is the state after this one). Nothing when none is left.
// Runs that overlapped in time (several processes with overlapping package lists) may have replaced
// a package in another order than their ids: a later run whose save the package no longer holds
// gives way to an earlier one whose save it holds exactly.
std::optional<Choice> ChooseSave(const std::vector<JournalRun>& runs,
                                 const std::string& key,
                                 PackageFingerprint& current,
                                 const UndoOptions& options)
{
    std::vector<const ProducedFacts*> undos;
    for (const JournalRun& run : runs) {
        const JournalEntry* entry = run.Find(key);
        if (entry != nullptr && entry->Undone && entry->UndoProduced) {
            undos.push_back(&entry->UndoMade);
        }
    }
    std::string changed;
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const JournalEntry* entry = run->Find(key);
        const bool named = options.RunId.empty() || run->Id == options.RunId;
        if (entry != nullptr && entry->Undone) {
            if (named && !options.RunId.empty()) {
                throw std::runtime_error("the save of run " + run->Id + " was already undone; left as it is");
            }
            continue;
        }
        if (!named) {
            continue;
        }
        if (entry == nullptr || !entry->Produced || (!entry->Replaced && !current.Matches(entry->Made))) {
            // Not saved by this run, or recorded but never replaced (the save ended before it).
            if (!options.RunId.empty()) {
                throw std::runtime_error(
                    entry == nullptr ? "no journal entry of run " + options.RunId + " for this package"
                                     : "run " + run->Id + " did not replace the package; nothing to undo");
            }
            continue;
        }
        if (current.Matches(entry->Made) ||
            std::any_of(undos.begin(), undos.end(),
                        [&](const ProducedFacts* made) { return current.Matches(*made); })) {
            return Choice{&*run, entry, false};
        }
        if (entry->UndoProduced && current.Matches(entry->UndoMade)) {
            return Choice{&*run, entry, true};
        }
        if (changed.empty()) {
            changed = "the package changed since run " + run->Id + " saved it; left as it is";
        }
        if (!options.RunId.empty()) {
            break;
        }
    }
    if (!changed.empty()) {
        throw std::runtime_error(changed);
    }
    if (!options.RunId.empty()) {
        throw std::runtime_error("no journal entry of run " + options.RunId + " for this package");
    }
    return std::nullopt;
}

// Puts the recorded members back (only those that differ from what the package holds now) and
// records what that produces before it replaces the package.
void Restore(const std::string& key,
             const Choice& choice,
             const archive::FileIdentity& verified,
             PackageFingerprint& current,
             const UndoOptions& options)
{
    const JournalEntry& entry = *choice.Entry;
    archive::TArchiveReader reader;
    reader.ZipName = key;
    reader.DoProcessMessages = false;
    reader.OpenDirectory();
    ScratchFolder scratch;
    archive::UpdateHooks hooks;
    bool changes = false;
    for (const JournalMember& member : entry.Members) {
        const archive::TZipHeaderInfo* now = FindPart(reader, member.Name);
        if (!member.Bytes) {
            if (now != nullptr) {
                hooks.RemoveMembers.push_back(now->Name);
                changes = true;
            }
        } else if (now == nullptr || reader.ExtractToMemory(*now, kMaxPartBytes) != *member.Bytes) {
            WriteScratchFile(scratch.Path(), now != nullptr ? now->Name : member.Name, *member.Bytes);
            changes = true;
        }
    }
    reader.CloseArchive();
    if (!changes) {
        // The package already holds what it held before the save; the next undo starts from it.
        RecordUndoProduced(*choice.Run, key, current.Facts());
        return;
    }
    hooks.ExpectedArchive = verified;
    hooks.BeforeReplace = [&](int fd) {
        if (options.KeepModificationTime) {
            GiveModificationTime(fd, verified.MtimeSeconds, verified.MtimeNanoseconds);
        } else if (entry.HasMtimeBefore) {
            GiveModificationTime(fd, entry.MtimeBeforeSeconds, entry.MtimeBeforeNanoseconds);
        }
        RecordUndoProduced(*choice.Run, key, FactsOf(fd));
    };
    archive::UpdatePackage(key, scratch.Path(), hooks);
}

} // namespace

UndoOutcome
UndoSave(const std::vector<JournalRun>& runs, const std::string& package, const UndoOptions& options)
{
    UndoOutcome outcome;
    try {
        const std::string key = CanonicalPath(package);
        const archive::FileIdentity before = archive::IdentityOf(key);
        if (!before.Exists) {
            throw std::runtime_error("the package does not exist");
        }
        PackageFingerprint current(key, before);
        const std::optional<Choice> choice = ChooseSave(runs, key, current, options);
        // The digests are only worth something for the file they were taken of.
        if (!archive::IdentityOf(key).SameFileAndContent(before)) {
            throw std::runtime_error("the package changed while it was checked; left as it is");
        }
        if (!choice) {
            outcome.ok = false;
            outcome.NothingToUndo = true;
            outcome.message = "nothing to undo";
            return outcome;
        }
        if (!choice->AlreadyRestored) {
            if (!options.IgnoreLocks) {
                if (const std::optional<OtherProgramLock> lock = FindOtherProgramLock(package)) {
                    throw std::runtime_error(OpenElsewhereMessage(*lock, options.LockOverrideHint));
                }
            }
            Restore(key, *choice, before, current, options);
        }
        MarkUndone(*choice->Run, key);
        outcome.RunId = choice->Run->Id;
        outcome.message = "restored as before run " + choice->Run->Id;
    } catch (const std::exception& e) {
        outcome.ok = false;
        outcome.message = e.what();
    }
    return outcome;
}

void UndoPackages(const std::vector<JournalRun>& runs,
                  const std::vector<std::string>& packages,
                  const UndoOptions& options,
                  const Progress& progress,
                  const std::function<void(std::size_t, const UndoOutcome&, bool)>& finished)
{
    std::vector<UndoOutcome> outcomes(packages.size());
    RunInOrder(
        packages.size(), SaveWorkers(), progress,
        [&](std::size_t i, unsigned) {
            progress.Report(i, packages.size(), packages[i]);
            outcomes[i] = UndoSave(runs, packages[i], options);
        },
        [&](std::size_t i, bool ran) { finished(i, outcomes[i], ran); });
}

} // namespace engine
