#include "cli/SetCommand.h"

#include "cli/ChangeListing.h"
#include "cli/CommandHelp.h"
#include "cli/CommandLine.h"
#include "cli/CustomAssignment.h"
#include "cli/Diagnostics.h"
#include "cli/FileTypesOption.h"
#include "cli/LoadRows.h"
#include "cli/PropertyAssignment.h"
#include "cli/SaveRun.h"
#include "engine/package/SamePackage.h"
#include "engine/record/EditState.h"
#include "engine/tables/FillPattern.h"
#include "engine/tables/FillValue.h"

#include <iostream>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace cli {

namespace {

struct SetOptions
{
    bool dryRun = false;
    SaveRunOptions saving;
    bool clearPersonal = false;
    std::vector<std::string> sets;
    std::vector<std::string> clears;
    std::vector<std::string> customSets;
    std::vector<std::string> customClears;
    std::vector<std::string> fills;
    std::string match;
    std::string extensions;
    std::vector<std::string> paths;
};

struct Fill
{
    std::size_t Property = 0;
    engine::FillPattern Pattern;
};

std::vector<Fill> ParseFills(const SetOptions& options, const std::optional<std::regex>& match)
{
    std::vector<Fill> fills;
    try {
        for (const std::string& argument : options.fills) {
            const std::size_t equals = argument.find('=');
            if (equals == std::string::npos) {
                throw EBadAssignment("\"" + argument + "\" is not NAME=PATTERN");
            }
            fills.push_back(Fill{PropertyOfName(argument.substr(0, equals)),
                                 engine::FillPattern(argument.substr(equals + 1))});
            if (fills.back().Pattern.UsesGroups() && options.match.empty()) {
                throw EBadAssignment("the pattern \"" + argument.substr(equals + 1) +
                                     "\" uses groups: give --match");
            }
            if (match) {
                fills.back().Pattern.RequireGroups(match->mark_count());
            }
        }
    } catch (const engine::EBadPattern& e) {
        throw CLI::ValidationError("set", e.what());
    } catch (const EBadAssignment& e) {
        throw CLI::ValidationError("set", e.what());
    }
    return fills;
}

std::optional<std::regex> MatchExpression(const std::string& text)
{
    if (text.empty()) {
        return std::nullopt;
    }
    try {
        return std::regex(text, std::regex::ECMAScript);
    } catch (const std::regex_error& e) {
        throw CLI::ValidationError("set",
                                   "--match: \"" + text + "\" is not a regular expression: " + e.what());
    }
}

// The values the fill patterns give this package, computed from its values before this command;
// the reason instead when the package is left alone.
std::variant<std::vector<PropertyAssignment>, std::string> FillValues(const engine::DocumentRecord& before,
                                                                      const std::vector<Fill>& fills,
                                                                      const std::optional<std::regex>& match,
                                                                      const std::string& now)
{
    std::vector<PropertyAssignment> values;
    for (const Fill& fill : fills) {
        engine::FillResult result =
            engine::FillValueFor(fill.Pattern, fill.Property, before, match ? &*match : nullptr, now);
        if (result.NameMismatch) {
            return std::string("the file name does not match --match; left as it is");
        }
        if (!result.Problem.empty()) {
            return result.Problem + " (from --fill); left as it is";
        }
        values.push_back(PropertyAssignment{fill.Property, std::move(result.Value)});
    }
    return values;
}

void RunSet(const SetOptions& options)
{
    std::vector<PropertyAssignment> assignments;
    std::vector<engine::CustomChange> customs;
    try {
        // Every NAME and VALUE is checked before any package is opened.
        std::vector<std::string> clears = options.clears;
        if (options.clearPersonal) {
            const std::vector<std::string> personal = PersonalPropertyNames();
            clears.insert(clears.end(), personal.begin(), personal.end());
        }
        assignments = ParseAssignments(options.sets, clears);
        customs = ParseCustomAssignments(options.customSets, options.customClears);
    } catch (const EBadAssignment& e) {
        throw CLI::ValidationError("set", e.what());
    }
    const std::optional<std::regex> match = MatchExpression(options.match);
    const std::vector<Fill> fills = ParseFills(options, match);
    if (assignments.empty() && fills.empty() && customs.empty()) {
        throw CLI::ValidationError(
            "set", "nothing to set: give --set NAME=VALUE, --clear NAME, --fill NAME=PATTERN, --custom "
                   "NAME=VALUE or --custom-clear NAME");
    }
    for (const Fill& fill : fills) {
        for (const PropertyAssignment& assignment : assignments) {
            if (assignment.Property == fill.Property) {
                throw CLI::ValidationError("set", std::string(engine::DisplayName(fill.Property)) +
                                                      " is given more than once");
            }
        }
    }
    const std::string now = engine::NowLocalText();
    const std::string extensionList = ScanExtensionList(options.extensions);
    std::vector<std::string> unreadable;
    engine::VectorDocumentList rows = LoadRows(CommandPaths(options.paths), &unreadable, {}, extensionList);
    std::size_t failed = unreadable.size();
    ComplainAll(unreadable);
    // Rows left alone are reported at their place among the saved ones.
    std::vector<engine::DocumentRecord*> records;
    std::vector<std::size_t> rowOfRecord;
    std::vector<std::string> leftAlone(rows.RowCount());
    std::set<std::string> packages;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        engine::DocumentRecord& record = rows.RecordAt(row);
        if (!packages.insert(engine::SamePackageKey(record.FullPath)).second) {
            continue; // a package named twice (a folder and a file in it, a link) is set once
        }
        std::vector<PropertyAssignment> filled;
        if (!fills.empty() && record.LastError.empty()) {
            auto values = FillValues(record, fills, match, now);
            if (auto* reason = std::get_if<std::string>(&values)) {
                leftAlone[row] = *reason;
                continue;
            }
            filled = std::get<std::vector<PropertyAssignment>>(std::move(values));
        }
        if (options.dryRun && !record.LastError.empty()) {
            leftAlone[row] = record.LastError;
            continue;
        }
        // The package is saved even when its load reported a problem: the save reads the parts
        // afresh and fails on its own when the part it must edit is unusable.
        StageAssignments(record, assignments);
        StageAssignments(record, filled);
        try {
            engine::ApplyCustomChanges(record, customs);
        } catch (const engine::ECustomPropertyError& e) {
            leftAlone[row] = e.what();
            continue;
        }
        // A package whose load failed is still tried, so that its problem is reported.
        if (!record.LastError.empty()) {
            engine::MarkForSave(record);
        }
        records.push_back(&record);
        rowOfRecord.push_back(row);
    }
    std::size_t reported = 0;
    ResultListing results(std::cout, options.dryRun ? OutputForm::Text : options.saving.form, options.saving.quiet);
    const auto reportLeftAloneBefore = [&](std::size_t row) {
        for (; reported < row; ++reported) {
            if (!leftAlone[reported].empty()) {
                Complain(rows.RecordAt(reported).FullPath, leftAlone[reported]);
                results.Add(rows.RecordAt(reported).FullPath, "failed", leftAlone[reported]);
                ++failed;
            }
        }
    };
    if (options.dryRun) {
        ChangeListing listing(std::cout, options.saving.form);
        for (std::size_t i = 0; i < records.size(); ++i) {
            reportLeftAloneBefore(rowOfRecord[i]);
            listing.Add(records[i]->FullPath, engine::PendingChanges(*records[i]), &std::cerr);
        }
        reportLeftAloneBefore(rows.RowCount());
        listing.Finish();
        SyncStandardOutput();
        FinishCommand(failed == 0 ? kExitOk : kExitFailures);
        return;
    }
    RunTally tally = SaveAndReport(records, options.saving, results, [&](std::size_t i) {
        reportLeftAloneBefore(rowOfRecord[i]);
        ++reported;
    });
    reportLeftAloneBefore(rows.RowCount());
    results.Finish();
    tally.Failed += failed;
    SyncStandardOutput();
    FinishRun(tally, options.saving.quiet);
}

} // namespace

void AddSetCommand(CLI::App& app)
{
    auto options = std::make_shared<SetOptions>();
    CLI::App* set = app.add_subcommand("set", "Set document properties of packages and save them");
    set->add_flag("--dry-run", options->dryRun, "Save nothing; print each change as PATH: NAME: \"old\" -> \"new\"");
    AddSaveRunOptions(*set, options->saving);
    set->add_flag("--clear-personal", options->clearPersonal,
                  "Clear Creator, LastModifiedBy, Company, Manager, LastPrinted and Template. The "
                  "journal keeps the old values until 'history --purge' (or use --no-journal)");
    set->add_option("--set", options->sets, "NAME=VALUE (a display name such as Title; repeatable); an empty VALUE removes the property")
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
    CLI::Option* fill =
        set->add_option(
               "--fill", options->fills,
               "NAME=PATTERN: set NAME per package from {name} {stem} {folder} {path} {now}, another "
               "property's value before this command ({Title}), groups {1}..{9} of --match, {{ and }} "
               "(repeatable)")
            ->allow_extra_args(false)
            ->type_name("NAME=PATTERN");
    set->add_option("--match", options->match,
                    "REGEX (ECMAScript) the whole file name must match for --fill; its groups are {1}..{9}; "
                    "packages whose name does not match are left as they are and reported")
        ->type_name("REGEX")
        ->needs(fill);
    set->add_option("paths", options->paths,
                    "Packages, or folders searched recursively for *.pptx (required)");
    set->footer(ValuesHelp("--custom NAME=VALUE sets text; NAME:TYPE=VALUE another type.\n"));
    set->callback([options] { RunSet(*options); });
}

} // namespace cli
