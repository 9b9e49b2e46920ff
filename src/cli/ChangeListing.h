#pragma once

#include "cli/ResultOutput.h"
#include "engine/record/PendingChanges.h"

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// The changes a save would write, one line each (PATH: NAME: "old" -> "new"), or as JSON objects
// {FullPath, Property, Old, New} with FullPath absolute (an array, or one a line). Texts are printed
// as valid UTF-8, quoted and escaped.
class ChangeListing
{
public:
    ChangeListing(std::ostream& out, OutputForm form);
    ChangeListing(const ChangeListing&) = delete;
    ChangeListing& operator=(const ChangeListing&) = delete;

    // With changes to a digitally signed package, the save's warning goes to warnings first, so
    // that a dry run says before the save what the save would say after it.
    void Add(const std::string& package,
             const std::vector<engine::PendingChange>& changes,
             std::ostream* warnings = nullptr);
    // Closes the JSON array; nothing for lines.
    void Finish();

private:
    std::ostream& m_out;
    OutputForm m_form;
    bool m_first = true;
};

} // namespace cli
