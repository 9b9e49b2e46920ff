#pragma once

#include <CLI/CLI.hpp>

namespace cli {

// velmora-cli show [--json|--csv] PATH...: the document properties of packages and folders.
void AddShowCommand(CLI::App& app);

} // namespace cli
