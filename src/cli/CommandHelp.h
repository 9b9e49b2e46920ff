#pragma once

#include <string>
#include <string_view>

// The texts at the end of --help that teach what the options take.
namespace cli {

// For the commands that take values: the seventeen property names, the date forms and the
// custom property types, followed by customTypes, which says how the command chooses a type.
std::string ValuesHelp(std::string_view customTypes);

// The exit statuses of every command, for the help of the tool itself.
std::string ExitCodesHelp();

} // namespace cli
