#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// SHA-256 digests, from the system's cryptographic library.
namespace engine {

class Sha256
{
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits; the object starts afresh afterwards.
    [[nodiscard]] std::string HexDigest();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The digest of a file's bytes. Throws std::runtime_error naming the file when it cannot be read.
[[nodiscard]] std::string FileSha256(const std::filesystem::path& path);

} // namespace engine
