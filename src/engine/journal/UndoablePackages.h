#pragma once

#include "engine/journal/JournalFormat.h"

#include <set>
#include <string>
#include <vector>

// Which journaled packages still have a save to undo: one answer for every front end.
namespace engine {

// The prefix shared by the recorded paths of every package below folder: its CanonicalPath ending
// in one "/" (so "/" itself is "/", never "//").
[[nodiscard]] std::string FolderPrefix(const std::string& folder);

// Whether the recorded package path lies below the folder whose FolderPrefix is prefix (any path
// for an empty prefix).
[[nodiscard]] bool IsBelow(const std::string& package, const std::string& prefix);

// The recorded packages a list of paths names, as history lists them and purges their entries: a
// folder stands for every package below it (see IsBelow), any other path (a file, a name that is
// gone) for the package it names.
class NamedPackages
{
public:
    explicit NamedPackages(const std::vector<std::string>& paths);

    [[nodiscard]] bool Contains(const std::string& package) const;

private:
    std::set<std::string> m_packages;
    std::vector<std::string> m_prefixes;
};

// How much of a run's saves were undone: none, some of its saved packages, or every one.
enum class RunUndone
{
    None,
    Partly,
    Wholly
};

// RunUndone::None for a run that saved no package.
[[nodiscard]] RunUndone UndoneState(const JournalRun& run);

// The packages with a save left to undo (of the run runId, when one is named), each once in the
// order first met, whose recorded paths begin with prefix (every one for an empty prefix).
[[nodiscard]] std::vector<std::string>
UndoablePackages(const std::vector<JournalRun>& runs, const std::string& runId, const std::string& prefix);

// The latest run that has a save not undone yet, and those of its packages; Run is null when no
// run has one. Repeated after each undo, it steps back run by run.
struct UndoableRun
{
    const JournalRun* Run = nullptr;
    std::vector<std::string> Packages;
};

[[nodiscard]] UndoableRun LatestUndoableRun(const std::vector<JournalRun>& runs);

} // namespace engine
