#pragma once

#include "engine/record/PendingChanges.h"

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// What the commands that save or restore packages (set, import, undo) print per package on
// standard output: lines for people, or JSON for programs.
namespace cli {

enum class OutputForm
{
    Text,      // "PATH: saved"
    Json,      // one array of objects
    JsonLines, // one object a line
};

// Adds --json and --jsonl (which exclude each other) to a command; what says what they list.
void AddOutputFormOptions(CLI::App& command, OutputForm& form, const std::string& what);

// One result per package. As text, "PATH: MESSAGE" (or "PATH: OUTCOME" without a message) for a
// package that was saved, left unchanged or restored, nothing for a failure (its message goes to
// standard error) and nothing at all when quiet. As JSON, every result, failures included:
// {"FullPath": absolute path, "Outcome": "saved" | "unchanged" | "restored" | "failed" |
// "not saved" | "not restored", "Message": null or the text, "Changes": [{"Property", "Old", "New"}...]}.
class ResultListing
{
public:
    ResultListing(std::ostream& out, OutputForm form, bool quiet);
    ResultListing(const ResultListing&) = delete;
    ResultListing& operator=(const ResultListing&) = delete;

    void Add(const std::string& path,
             std::string_view outcome,
             std::string_view message,
             const std::vector<engine::PendingChange>& changes = {});
    // Closes the JSON array.
    void Finish();

private:
    std::ostream& m_out;
    OutputForm m_form;
    bool m_quiet;
    bool m_first = true;
};

// The JSON of a package's changes: [{"Property": …, "Old": …, "New": …}, …].
[[nodiscard]] std::string JsonChanges(const std::vector<engine::PendingChange>& changes);

} // namespace cli
