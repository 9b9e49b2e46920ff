#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace cli {

// Adds --ext LIST to a command: the package extensions its folder scans take (default pptx).
void AddFileTypesOption(CLI::App& command, std::string& extensions);

// The folder-scan extension list for the --ext text; throws CLI::ValidationError for an unknown
// extension.
std::string ScanExtensionList(const std::string& extensions);

} // namespace cli
