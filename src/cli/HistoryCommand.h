#pragma once

#include <CLI/CLI.hpp>

namespace cli {

// velmora-cli history [--purge] [PATH...]: lists the journaled save runs (those that touched the
// paths; a folder stands for the packages below it), or deletes the journal (the entries of the
// paths, taken the same way).
void AddHistoryCommand(CLI::App& app);

} // namespace cli
