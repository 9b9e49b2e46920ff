#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// What the fuzzers share: a private work folder, input files, and the checks whose failure is a
// finding (reported by aborting, which libFuzzer records as a crash with the input).
namespace fuzzing {

// A folder private to this process, created on first use and removed at exit.
const std::filesystem::path& WorkDir();

// Writes the input to a file and returns its path.
std::filesystem::path WriteInput(const std::uint8_t* data, std::size_t size, const std::string& name);

// Ends the run as a finding.
[[noreturn]] void Fail(std::string_view what, std::string_view detail = {});

// Every regular file or link below `root` must lie inside one of the given subfolders or be one of
// the given files; anything else was written where it does not belong.
void RequireNothingOutside(const std::filesystem::path& root,
                           std::initializer_list<std::filesystem::path> allowed);

// Removes a folder tree, read-only entries included.
void RemoveTree(const std::filesystem::path& folder);

} // namespace fuzzing
