#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// One XML part of a real-corpus package, copied out by a small Python script so that tests of the
// XML and property code do not depend on the archive layer.
struct CorpusPart
{
    std::string Package;        // file name of the package
    std::string Kind;           // "core", "app", "types" ([Content_Types].xml) or "rels" (_rels/.rels)
    std::string Status;         // "ok", "missing" or "error"
    std::filesystem::path File; // the copied part when Status is "ok"
};

// Copies the parts of every package of the real corpus into folder; the core and app parts are
// found through the package relationships as a reader must find them.
std::vector<CorpusPart> ExtractCorpusParts(const std::filesystem::path& folder);

// Shell quoting for RunCommand arguments.
std::string ShellQuote(const std::string& text);

} // namespace testsupport
