#pragma once

#include "archive/AtomicReplace.h"
#include "engine/journal/JournalFormat.h"
#include "engine/package/SaveRecorder.h"
#include "engine/record/DocumentRecord.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

// The undo record of one save run. Before any package is replaced, the members its save may
// rewrite are written to the run's folder and forced to disk, for all packages of the run at once;
// each save then notes what it produced before it replaces its package.
namespace engine {

// The journal cannot be written; no package of the run may then be saved.
class EJournalError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct JournalLimits
{
    std::size_t MaxRuns = 100;
    std::uint64_t MaxBytes = 200ULL * 1024 * 1024;
};

class SaveJournal : public SaveRecorder
{
public:
    // Creates the run's folder under root (root and run readable by the user only). Throws
    // EJournalError.
    SaveJournal(std::filesystem::path root, std::vector<std::string> properties, JournalLimits limits = {});
    // Removes the run's folder when the run replaced nothing.
    ~SaveJournal() override;
    SaveJournal(const SaveJournal&) = delete;
    SaveJournal& operator=(const SaveJournal&) = delete;

    [[nodiscard]] const std::string& Id() const { return m_id; }

    [[nodiscard]] const std::filesystem::path& Folder() const { return m_folder; }

    // Records what the packages hold now in the members a save may rewrite (the property parts,
    // [Content_Types].xml and _rels/.rels), in one file forced to disk once. A package that cannot
    // be read gets no entry here; its save reads it again. Throws EJournalError.
    void RecordBefore(const std::vector<std::string>& packages);

    // The package's entry; records it afresh (and forces that to disk) when the package is no
    // longer the file it was. Safe to call from several threads.
    [[nodiscard]] RecordedPackage EnsureEntry(const std::string& package) override;

    // The package the save produced, noted before it replaces the old one (not yet forced to disk).
    // key is the package's CanonicalPath, as EnsureEntry gave it.
    void RecordProduced(const std::string& key, const ProducedFacts& produced) override;
    void RecordReplaced(const std::string& key) override;

    // Notes the saves that produced a package which never replaced the old one (refused because the
    // package changed meanwhile, or failed), forces the outcomes to disk and drops the oldest runs
    // beyond the limits. Call it when every save of the run has ended. Throws EJournalError.
    void Finish();

private:
    // A package that cannot be read is left out, or with readFailuresThrow ends the call.
    void WriteEntries(const std::vector<std::string>& packages, bool readFailuresThrow);
    void AppendOutcome(const std::string& fields);
    [[nodiscard]] std::string Failure(const std::string& reason) const;

    std::filesystem::path m_root;
    std::filesystem::path m_folder;
    std::string m_id;
    std::string m_header;
    JournalLimits m_limits;
    std::mutex m_mutex;
    std::map<std::string, archive::FileIdentity> m_recorded; // by CanonicalPath
    std::map<std::string, ProducedFacts> m_notReplaced;      // produced, replacement not yet seen
    int m_entriesFiles = 0;
    int m_outcomesFd = -1;
    std::atomic<bool> m_produced = false;
};

// A run for saving the records: named after the properties they change, with the packages of the
// modified ones recorded. Throws EJournalError.
std::unique_ptr<SaveJournal> StartSaveRun(const std::vector<const DocumentRecord*>& records,
                                          const std::filesystem::path& root);

} // namespace engine
