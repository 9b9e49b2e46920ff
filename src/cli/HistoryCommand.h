#pragma once

#include <CLI/CLI.hpp>

namespace cli {

// velmora-cli history [--purge] [PATH...]: lists the journaled save runs (those that touched the
// paths), or deletes the journal (the entries of the paths).
void AddHistoryCommand(CLI::App& app);

} // namespace cli
