#pragma once

#include "engine/record/DocumentOutcome.h"
#include "engine/record/DocumentRecord.h"
#include "engine/base/Progress.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One save run: what Save in the window and the commands that save (set, import) do with the
// records they were given.
namespace engine {

struct SaveRunSettings
{
    // Record the run in the journal before any package is replaced; the run stops before touching
    // any package when the journal cannot be written.
    bool Journal = true;
    std::filesystem::path JournalRoot; // empty: DefaultJournalRoot()
    bool KeepModificationTime = false;
    // Save packages that another program has open (a lock file beside them) all the same.
    bool IgnoreLocks = false;
    // How the message of a package left alone for its lock file says to save it all the same.
    std::string LockOverrideHint = "save with --ignore-locks";
    unsigned Workers = 0; // packages saved at once; 0: SaveWorkers()
};

enum class SaveState
{
    Saved,     // the package holds the record's values (rewritten, or already holding them)
    Failed,    // not saved; the record keeps its changes and LastError says why
    NotSaved,  // not attempted: the run was cancelled before this package
    Unchanged, // the record had no change to save
};

struct SaveResult
{
    SaveState State = SaveState::Unchanged;
    std::string Message; // the failure, or why the package was not saved
    // The number of records of this record's package, this one included (more than one when the
    // run merged their changes into one save).
    std::size_t RecordsOfPackage = 1;
    bool FirstOfPackage = true; // the first of those records in the given order
};

struct SaveRunReport
{
    std::vector<SaveResult> Results; // one per record, in the given order
    std::size_t Saved = 0;           // packages
    std::size_t Failed = 0;          // packages
    std::size_t NotSaved = 0;        // packages left unsaved by a cancel
    bool Cancelled = false;
    std::string JournalFailure;       // the journal could not be started: no package was touched
    std::string JournalFinishFailure; // the saves ran, but the journal's last write failed
};

// Saves the modified records. Records of one package (however named) become one save of that
// package, with the changes of all of them (where they disagree on a property, the later record
// wins); after that save all of them, unmodified ones included, are read again from the package. Different
// packages are saved at once on the workers, each worker reusing one scratch folder. finished(i, result) is
// called on the calling thread for every record, in order, as soon as it and the records before it are
// settled. A cancel through progress finishes the packages in hand; the rest are left unsaved and
// reported as NotSaved. Never throws for a package's failure.
SaveRunReport SaveRun(const std::vector<DocumentRecord*>& records,
                      const SaveRunSettings& settings,
                      const Progress& progress,
                      const std::function<void(std::size_t, const SaveResult&)>& finished = {});

// The message of a record whose save did not start because the run was cancelled.
inline constexpr std::string_view kNotSavedCancelled = "not saved: the save was cancelled";

} // namespace engine
