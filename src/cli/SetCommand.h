#pragma once

#include <CLI/CLI.hpp>

namespace cli {

// velmora-cli set [--dry-run [--json]] [--no-journal] [--keep-mtime] [--jobs N] [--clear-personal]
// --set NAME=VALUE ... --clear NAME ... [--] PATH...: sets properties on every package as the batch
// dialog's apply-to-all does, then saves them all.
void AddSetCommand(CLI::App& app);

} // namespace cli
