#pragma once

#include "archive/AtomicReplace.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// How undo tells whether a package is still the file a save (or an undo) produced, without reading
// the whole package: its size, its modification time and a digest of its central directory and end
// records, which carry every member's name, CRC-32 and sizes.
namespace engine {

inline constexpr std::string_view kDirectoryDigestPrefix = "directory-sha256:";

// "directory-sha256:" and the SHA-256 of the bytes from the start of the central directory to the
// end of the file. Throws std::runtime_error when the file has no readable end record.
[[nodiscard]] std::string DirectoryDigest(const std::filesystem::path& path);
// The same for an open file (a package about to replace another).
[[nodiscard]] std::string DirectoryDigest(int fd);

// A package produced by a save or an undo, as the journal records it.
struct ProducedFacts
{
    std::uint64_t Size = 0;
    std::int64_t MtimeSeconds = 0;
    std::int64_t MtimeNanoseconds = 0;
    // A directory digest, or (journals of earlier versions) the SHA-256 of the whole file.
    std::string Digest;
};

// The facts of the open file as it is now.
[[nodiscard]] ProducedFacts FactsOf(int fd);

// The package at a path, compared with recorded facts; the digests are computed once, on need.
class PackageFingerprint
{
public:
    PackageFingerprint(std::filesystem::path path, const archive::FileIdentity& identity);

    [[nodiscard]] bool Matches(const ProducedFacts& recorded);
    // The facts of the package as it is now.
    [[nodiscard]] ProducedFacts Facts();

private:
    const std::string& Directory();

    std::filesystem::path m_path;
    archive::FileIdentity m_identity;
    std::optional<std::string> m_directory;
    std::optional<std::string> m_whole;
};

} // namespace engine
