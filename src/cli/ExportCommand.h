#pragma once

#include <CLI/CLI.hpp>

namespace cli {

// velmora-cli export --format html|text|xml|xlsx|csv --output FILE PATH...: the document grid of the
// packages written to FILE as the window's export menu writes it.
void AddExportCommand(CLI::App& app);

} // namespace cli
