#include "cli/CustomAssignment.h"

#include "cli/PropertyAssignment.h"

namespace cli {

namespace {

engine::CustomChange ParseCustomArgument(const std::string& argument)
{
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos) {
        throw EBadAssignment("\"" + argument + "\" is not NAME=VALUE or NAME:TYPE=VALUE");
    }
    engine::CustomChange assignment{argument.substr(0, equals), engine::CustomKind::Text,
                                    argument.substr(equals + 1), false};
    if (const std::size_t colon = assignment.Name.rfind(':'); colon != std::string::npos) {
        const std::string kind = assignment.Name.substr(colon + 1);
        assignment.Kind = engine::KindOfName(kind);
        if (assignment.Kind == engine::CustomKind::Other) {
            throw EBadAssignment("\"" + kind + "\" in \"" + assignment.Name +
                                 "\" is not a type (text, int, real, bool or date); a name that holds "
                                 "':' needs one, as in NAME:text=VALUE");
        }
        assignment.Name.erase(colon);
    }
    try {
        engine::CheckCustomName(assignment.Name);
        (void)engine::HeldCustomValue(
            assignment.Name, engine::TypeForValue(assignment.Kind, {}, assignment.Value), assignment.Value);
    } catch (const engine::ECustomPropertyError& e) {
        throw EBadAssignment(e.what());
    }
    return assignment;
}

} // namespace

std::vector<engine::CustomChange> ParseCustomAssignments(const std::vector<std::string>& sets,
                                                         const std::vector<std::string>& clears)
{
    std::vector<engine::CustomChange> assignments;
    for (const std::string& set : sets) {
        assignments.push_back(ParseCustomArgument(set));
    }
    for (const std::string& clear : clears) {
        if (clear.empty()) {
            throw EBadAssignment("--custom-clear needs a name");
        }
        assignments.push_back(engine::CustomChange{clear, engine::CustomKind::Text, {}, true});
    }
    for (std::size_t i = 0; i < assignments.size(); ++i) {
        for (std::size_t k = i + 1; k < assignments.size(); ++k) {
            if (engine::SameCustomName(assignments[i].Name, assignments[k].Name)) {
                throw EBadAssignment("the custom property " + assignments[i].Name +
                                     " is given more than once");
            }
        }
    }
    return assignments;
}

} // namespace cli
