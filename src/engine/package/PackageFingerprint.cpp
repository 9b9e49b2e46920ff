#include "engine/package/PackageFingerprint.h"

#include "archive/ArchiveFile.h"
#include "archive/DirectoryReading.h"
#include "engine/package/Sha256.h"

#include <stdexcept>
#include <vector>

namespace engine {

std::string DirectoryDigest(const std::filesystem::path& path)
{
    archive::ArchiveFile file(path);
    archive::TEndCentral end;
    if (archive::FindEndRecord(file, end) != archive::EndRecordSearch::Found) {
        throw std::runtime_error("the package has no end record");
    }
    // From the directory on, wherever a Zip64 end record stands: nothing of the tail is left out.
    std::uint64_t start = std::min<std::uint64_t>(end.CentralOffset(), end.RecordPosition);
    if (end.Zip64Locator) {
        start = std::min(start, end.Zip64Locator->Zip64EndOffset);
    }
    if (start > file.Size()) {
        throw std::runtime_error("the package's directory lies beyond its end");
    }
    Sha256 hash;
    std::vector<char> buffer(64 * 1024);
    file.Seek(start);
    for (std::uint64_t left = file.Size() - start; left > 0;) {
        const std::size_t n =
            file.Read(buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size())));
        if (n == 0) {
            throw std::runtime_error("the package ended while its directory was read");
        }
        hash.Update(std::string_view(buffer.data(), n));
        left -= n;
    }
    return std::string(kDirectoryDigestPrefix) + hash.HexDigest();
}

std::string DirectoryDigest(int fd)
{
    return DirectoryDigest("/proc/self/fd/" + std::to_string(fd));
}

ProducedFacts FactsOf(int fd)
{
    const archive::FileIdentity identity = archive::IdentityOf(fd);
    return ProducedFacts{identity.Size, identity.MtimeSeconds, identity.MtimeNanoseconds,
                         DirectoryDigest(fd)};
}

PackageFingerprint::PackageFingerprint(std::filesystem::path path, const archive::FileIdentity& identity)
    : m_path(std::move(path))
    , m_identity(identity)
{}

const std::string& PackageFingerprint::Directory()
{
    if (!m_directory) {
        try {
            m_directory = DirectoryDigest(m_path);
        } catch (const std::exception&) {
            m_directory = std::string(); // no directory: matches no recorded digest
        }
    }
    return *m_directory;
}

bool PackageFingerprint::Matches(const ProducedFacts& recorded)
{
    if (recorded.Digest.rfind(kDirectoryDigestPrefix, 0) == 0) {
        return recorded.Size == m_identity.Size && recorded.MtimeSeconds == m_identity.MtimeSeconds &&
               recorded.MtimeNanoseconds == m_identity.MtimeNanoseconds && recorded.Digest == Directory();
    }
    if (recorded.Digest.empty() || recorded.Size != m_identity.Size) {
        return false;
    }
    if (!m_whole) {
        m_whole = FileSha256(m_path);
    }
    return recorded.Digest == *m_whole;
}

ProducedFacts PackageFingerprint::Facts()
{
    return ProducedFacts{m_identity.Size, m_identity.MtimeSeconds, m_identity.MtimeNanoseconds, Directory()};
}

} // namespace engine
