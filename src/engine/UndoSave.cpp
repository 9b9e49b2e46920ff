#include "engine/UndoSave.h"

#include "archive/TArchiveReader.h"
#include "engine/JournalStore.h"
#include "engine/PartLocator.h"
#include "engine/SaveHooks.h"
#include "engine/ScratchFolder.h"
#include "engine/Sha256.h"

#include <stdexcept>

namespace engine {

namespace {

struct Choice
{
    const JournalRun* Run = nullptr;
    const JournalEntry* Entry = nullptr;
};

// The save to undo: the latest (or the named run's) that really replaced the package.
Choice ChooseSave(const std::vector<JournalRun>& runs,
                  const std::string& key,
                  const std::string& currentSha,
                  const UndoOptions& options)
{
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        if (!options.RunId.empty() && run->Id != options.RunId) {
            continue;
        }
        const JournalEntry* entry = run->Find(key);
        if (entry == nullptr) {
            continue;
        }
        const bool current = entry->Produced && entry->Sha256 == currentSha;
        if (current) {
            return {&*run, entry};
        }
        if (!entry->Replaced && !entry->Undone) {
            // Recorded, but the save ended before it replaced the package (or wrote nothing).
            if (!options.RunId.empty()) {
                throw std::runtime_error("run " + run->Id + " did not replace the package; nothing to undo");
            }
            continue;
        }
        if (entry->Undone) {
            throw std::runtime_error("the save of run " + run->Id + " was already undone; left as it is");
        }
        throw std::runtime_error("the package changed since run " + run->Id +
                                 " saved it (its SHA-256 differs); left as it is");
    }
    if (!options.RunId.empty()) {
        throw std::runtime_error("no journal entry of run " + options.RunId + " for this package");
    }
    throw std::runtime_error("no journaled save of this package to undo");
}

// Puts the recorded members back; only those that differ from what the package holds now.
void Restore(const std::string& key,
             const JournalEntry& entry,
             const archive::FileIdentity& verified,
             const UndoOptions& options)
{
    archive::TArchiveReader reader;
    reader.ZipName = key;
    reader.DoProcessMessages = false;
    reader.OpenDirectory();
    ScratchFolder scratch;
    archive::UpdateHooks update;
    bool changes = false;
    for (const JournalMember& member : entry.Members) {
        const archive::TZipHeaderInfo* now = FindPart(reader, member.Name);
        if (!member.Bytes) {
            if (now != nullptr) {
                update.RemoveMembers.push_back(now->Name);
                changes = true;
            }
        } else if (now == nullptr || reader.ExtractToMemory(*now, kMaxPartBytes) != *member.Bytes) {
            WriteScratchFile(scratch.Path(), now != nullptr ? now->Name : member.Name, *member.Bytes);
            changes = true;
        }
    }
    reader.CloseArchive();
    if (!changes) {
        return;
    }
    SaveOptions saveOptions;
    saveOptions.KeepModificationTime = options.KeepModificationTime;
    SaveHooks hooks(key, saveOptions, verified);
    archive::UpdateHooks withHooks = hooks.Hooks();
    withHooks.RemoveMembers = update.RemoveMembers;
    archive::UpdatePackage(key, scratch.Path(), withHooks);
}

} // namespace

DocumentOutcome
UndoSave(const std::vector<JournalRun>& runs, const std::string& package, const UndoOptions& options)
{
    try {
        const std::string key = JournalKey(package);
        const archive::FileIdentity before = archive::IdentityOf(key);
        if (!before.Exists) {
            throw std::runtime_error("the package does not exist");
        }
        const std::string sha = FileSha256(key);
        // The hash is only worth something for the file it was taken of.
        if (!archive::IdentityOf(key).SameFileAndContent(before)) {
            throw std::runtime_error("the package changed while it was checked; left as it is");
        }
        const Choice choice = ChooseSave(runs, key, sha, options);
        Restore(key, *choice.Entry, before, options);
        MarkUndone(*choice.Run, key);
        return DocumentOutcome{true, "restored as before run " + choice.Run->Id};
    } catch (const std::exception& e) {
        return DocumentOutcome{false, e.what()};
    }
}

} // namespace engine
