#include "cli/SetCommand.h"

#include "cli/CommandLine.h"
#include "cli/CustomAssignment.h"
#include "cli/FileTypesOption.h"
#include "cli/LoadRows.h"
#include "cli/PropertyAssignment.h"
#include "engine/SaveDocument.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace cli {

namespace {

struct SetOptions
{
    bool dryRun = false;
    std::vector<std::string> sets;
    std::vector<std::string> clears;
    std::vector<std::string> customSets;
    std::vector<std::string> customClears;
    std::string extensions;
    std::vector<std::string> paths;
};

void Apply(engine::DocumentRecord& record, const std::vector<PropertyAssignment>& assignments)
{
    for (const PropertyAssignment& assignment : assignments) {
        record.Value(assignment.Property) = assignment.Value;
        record.SetChanged(assignment.Property, true);
    }
    record.Modified = true;
}

void RunSet(const SetOptions& options)
{
    std::vector<PropertyAssignment> assignments;
    std::vector<engine::CustomChange> customs;
    try {
        // Every NAME and VALUE is checked before any package is opened.
        customs = ParseCustomAssignments(options.customSets, options.customClears);
        if (customs.empty() || !options.sets.empty() || !options.clears.empty()) {
            assignments = ParseAssignments(options.sets, options.clears);
        }
    } catch (const EBadAssignment& e) {
        throw CLI::ValidationError("set", e.what());
    }
    const std::string extensionList = ScanExtensionList(options.extensions);
    std::vector<std::string> unreadable;
    engine::VectorDocumentList rows = LoadRows(CommandPaths(options.paths), &unreadable, {}, extensionList);
    std::size_t failed = unreadable.size();
    for (const std::string& line : unreadable) {
        std::cerr << line << '\n';
    }
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        engine::DocumentRecord& record = rows.RecordAt(row);
        if (options.dryRun) {
            if (record.LastError.empty()) {
                std::cout << record.FullPath << ": would be saved\n";
            } else {
                std::cerr << record.FullPath << ": " << record.LastError << '\n';
                ++failed;
            }
            continue;
        }
        // The package is saved even when its load reported a problem: the save reads the parts
        // afresh and fails on its own when the part it must edit is unusable.
        Apply(record, assignments);
        try {
            engine::ApplyCustomChanges(record, customs);
        } catch (const engine::ECustomPropertyError& e) {
            std::cerr << record.FullPath << ": " << e.what() << '\n';
            ++failed;
            continue;
        }
        const engine::DocumentOutcome outcome = engine::SaveDocument(record);
        if (!record.LastWarning.empty()) {
            std::cerr << record.FullPath << ": " << record.LastWarning << '\n';
        }
        if (outcome.ok) {
            std::cout << record.FullPath << ": saved\n";
        } else {
            std::cerr << record.FullPath << ": " << outcome.message << '\n';
            ++failed;
        }
    }
    std::cout.flush();
    FinishCommand(failed == 0 ? kExitOk : kExitFailures);
}

} // namespace

void AddSetCommand(CLI::App& app)
{
    auto options = std::make_shared<SetOptions>();
    CLI::App* set = app.add_subcommand("set", "Set document properties of packages and save them");
    set->add_flag("--dry-run", options->dryRun, "Check and load everything, save nothing");
    set->add_option("--set", options->sets, "NAME=VALUE (a display name such as Title; repeatable)")
        ->allow_extra_args(false)
        ->type_name("NAME=VALUE");
    set->add_option("--clear", options->clears, "Remove the property NAME (repeatable)")
        ->allow_extra_args(false)
        ->type_name("NAME");
    set->add_option("--custom", options->customSets,
                    "Set the custom property NAME (text unless TYPE is int, real, bool or date; repeatable)")
        ->allow_extra_args(false)
        ->type_name("NAME[:TYPE]=VALUE");
    set->add_option("--custom-clear", options->customClears, "Remove the custom property NAME (repeatable)")
        ->allow_extra_args(false)
        ->type_name("NAME");
    AddFileTypesOption(*set, options->extensions);
    set->add_option("paths", options->paths,
                    "Packages, or folders searched recursively for *.pptx (required)");
    set->callback([options] { RunSet(*options); });
}

} // namespace cli
