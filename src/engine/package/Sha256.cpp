#include "engine/package/Sha256.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <nettle/sha2.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace engine {

struct Sha256::State
{
    sha256_ctx Context{};
};

Sha256::Sha256()
    : m_state(std::make_unique<State>())
{
    sha256_init(&m_state->Context);
}

Sha256::~Sha256() = default;

void Sha256::Update(std::string_view bytes)
{
    sha256_update(&m_state->Context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

std::string Sha256::HexDigest()
{
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&m_state->Context, sizeof digest, digest); // also starts the context afresh
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

std::string FileSha256(const std::filesystem::path& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error(path.string() + ": " + std::strerror(errno));
    }
    Sha256 hash;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            close(fd);
            throw std::runtime_error(path.string() + ": " + std::strerror(error));
        }
        if (n == 0) {
            break;
        }
        hash.Update(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
    close(fd);
    return hash.HexDigest();
}

} // namespace engine
