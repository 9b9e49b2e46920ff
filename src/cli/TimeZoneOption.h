#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace cli {

// Adds --zone ZONE to a command: the time zone its dates without an offset are read in (default the
// local zone, TZ). A name the zone database does not hold is a usage error before the command runs.
void AddTimeZoneOption(CLI::App& command, std::string& zone);

// Makes zone, when given, the local zone of the process (TZ), which every local date conversion
// follows; called once, before any date is read.
void UseTimeZone(const std::string& zone);

} // namespace cli
