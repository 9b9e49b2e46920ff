#pragma once

#include <CLI/CLI.hpp>

namespace cli {

// velmora-cli undo [--run ID] [--keep-mtime] [--] PATH...: restores each package as it was before
// its latest journaled save (or the save of run ID).
void AddUndoCommand(CLI::App& app);

} // namespace cli
