#pragma once

#include <CLI/CLI.hpp>

namespace cli {

// velmora-cli thumbnail PATH --output FILE: the package's thumbnail part, byte for byte.
void AddThumbnailCommand(CLI::App& app);

} // namespace cli
