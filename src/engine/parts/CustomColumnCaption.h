#pragma once

#include <optional>
#include <string>
#include <string_view>

// How tables and the grid caption a custom property's column: "Custom:" before its name, so that a
// custom "Category" never reads as the core Category, nor as FileName, FullPath, FileSize or Error
// (no built-in caption holds a ':').
namespace engine {

inline constexpr std::string_view kCustomCaptionPrefix = "Custom:";

[[nodiscard]] std::string CustomColumnCaption(std::string_view name);

// The custom property name a caption stands for, or nothing when it is no custom column's caption.
[[nodiscard]] std::optional<std::string> CustomNameOfCaption(std::string_view caption);

} // namespace engine
