#pragma once

#include "archive/AtomicReplace.h"
#include "engine/base/CanonicalPath.h"
#include "engine/package/PackageFingerprint.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What the save journal holds and how its files are laid out. A run folder holds "entries" files
// (what each package held before the save) and one "outcomes" file (what each save produced). Both
// are sequences of fields "KEY LENGTH\n" + LENGTH bytes + "\n", so any bytes survive.
namespace engine {

inline constexpr std::string_view kJournalEntriesFile = "entries";
inline constexpr std::string_view kJournalOutcomesFile = "outcomes";
// The outcome field naming a package whose produced package never replaced it.
inline constexpr std::string_view kNotReplacedField = "not-replaced";

// A member as the package held it before the save; no bytes when the member was absent.
struct JournalMember
{
    std::string Name;
    std::optional<std::string> Bytes;
};

// One package of one run.
struct JournalEntry
{
    std::string Package; // absolute path
    std::vector<JournalMember> Members;
    // The package's modification time before the save (not recorded by older journals).
    bool HasMtimeBefore = false;
    std::int64_t MtimeBeforeSeconds = 0;
    std::int64_t MtimeBeforeNanoseconds = 0;
    // The package the save produced, recorded before it replaced the old one; false again when the
    // run noted at its end that it never did.
    bool Produced = false;
    ProducedFacts Made;
    bool Replaced = false; // the replacement was seen to succeed
    bool Undone = false;
    // The package an undo of this save produced, recorded before it replaced the saved one: the
    // state the package is in after the undo, which an undo of an earlier run accepts.
    bool UndoProduced = false;
    ProducedFacts UndoMade;
};

struct JournalRun
{
    std::string Id;
    std::filesystem::path Folder;
    std::string Time; // UTC, "YYYY-MM-DD hh:mm:ss"
    std::vector<std::string> Properties;
    std::vector<JournalEntry> Entries;
    std::uint64_t Bytes = 0; // on disk

    [[nodiscard]] const JournalEntry* Find(const std::string& package) const;
    // Packages the run replaced (or may have: it produced their new package).
    [[nodiscard]] std::size_t ProducedCount() const;
};

// The journal of this user: $XDG_STATE_HOME/velmora/journal, by default ~/.local/state/velmora/journal.
[[nodiscard]] std::filesystem::path DefaultJournalRoot();

void PutField(std::string& out, std::string_view key, std::string_view value);
// The fields of a journal file; throws std::runtime_error when the text is not a field sequence.
[[nodiscard]] std::vector<std::pair<std::string, std::string>> ParseFields(std::string_view text);

// The bytes of an entry of the entries file (without the run's header fields).
void PutEntry(std::string& out, const JournalEntry& entry);
// The outcome fields of an entry.
void PutOutcomes(std::string& out, const JournalEntry& entry);
// The facts of a produced package as a field's value ("SIZE SECONDS NANOSECONDS DIGEST"), and back.
[[nodiscard]] std::string FactsField(const ProducedFacts& facts);
[[nodiscard]] ProducedFacts ParseFactsField(const std::string& field);

// Creates (or replaces) a journal file: written beside, forced to disk, renamed into place.
void WriteJournalFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace engine
