#include "archive/MemberDecoder.h"

#include "archive/ArchiveErrors.h"
#include "archive/ArchiveFile.h"
#include "archive/ByteBuffer.h"
#include "archive/RawInflater.h"
#include "archive/ZipFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace archive {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kMinOutputChunk = 4 * 1024;

std::string Hex32(std::uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
}

// Holds the output to the declared size and the caller's limit, runs the CRC, and forwards.
class CheckedSink
{
public:
    CheckedSink(const TZipHeaderInfo& member,
                const std::function<void(const char*, std::size_t)>& sink,
                std::uint64_t maxBytes)
        : m_member(member)
        , m_sink(sink)
        , m_maxBytes(maxBytes)
    {}

    void Write(const unsigned char* data, std::size_t size)
    {
        if (size == 0) {
            return;
        }
        if (m_written + size > m_member.UncompressedSize()) {
            throw EBiggerThanUncompressed(m_member.Name);
        }
        if (m_written + size > m_maxBytes) {
            throw EMemberTooLarge(m_member.Name + " (limit " + std::to_string(m_maxBytes) + " bytes)");
        }
        m_crc = crc32(m_crc, data, static_cast<uInt>(size));
        m_written += size;
        m_sink(reinterpret_cast<const char*>(data), size);
    }

    void Finish() const
    {
        if (m_written != m_member.UncompressedSize()) {
            throw EBadZipFile(m_member.Name + ": data ends after " + std::to_string(m_written) + " of " +
                              std::to_string(m_member.UncompressedSize()) + " declared bytes");
        }
        if (m_crc != m_member.CRC32) {
            throw EBadCrc(m_member.Name + ": computed " + Hex32(static_cast<std::uint32_t>(m_crc)) +
                          ", stored " + Hex32(m_member.CRC32));
        }
    }

private:
    const TZipHeaderInfo& m_member;
    const std::function<void(const char*, std::size_t)>& m_sink;
    std::uint64_t m_maxBytes;
    std::uint64_t m_written = 0;
    uLong m_crc = crc32(0L, Z_NULL, 0);
};

} // namespace

const char* UnsupportedReason(const TZipHeaderInfo& member)
{
    if (member.IsEncrypted()) {
        return EEncryptedMember::kText;
    }
    if (member.CompressionMethod != kMethodStored && member.CompressionMethod != kMethodDeflated) {
        return EUnsupportedMember::kText;
    }
    return nullptr;
}

void DecodeMember(ArchiveFile& file,
                  std::uint64_t dataOffset,
                  const TZipHeaderInfo& member,
                  const std::function<void(const char* data, std::size_t size)>& sink,
                  const DecodeLimits& limits)
{
    if (member.IsEncrypted()) {
        throw EEncryptedMember(member.Name);
    }
    if (member.CompressionMethod != kMethodStored && member.CompressionMethod != kMethodDeflated) {
        throw EUnsupportedMember(member.Name + " (method " + std::to_string(member.CompressionMethod) + ")");
    }
    const std::uint64_t compressed = member.CompressedSize();
    if (dataOffset > file.Size() || compressed > file.Size() - dataOffset) {
        throw EFatalUnzipError(member.Name + ": data runs past the end of the archive");
    }
    CheckedSink out(member, sink, limits.MaxBytes);
    // Buffers no larger than the member needs: most members are small, and chunks of the full size
    // would cost page faults on every small part read.
    ByteBuffer input(static_cast<std::size_t>(std::clamp<std::uint64_t>(compressed, 1, kChunk)));
    file.Seek(dataOffset);
    std::uint64_t done = 0;

    if (member.CompressionMethod == kMethodStored) {
        while (done < compressed) {
            if (limits.BeforeChunk) {
                limits.BeforeChunk(done);
            }
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(input.size(), compressed - done));
            file.ReadExact(input.data(), n);
            out.Write(input.data(), n);
            done += n;
        }
        out.Finish();
        return;
    }

    RawInflater inflater;
    // The declared size only sizes the buffer; a member that inflates to more takes more rounds.
    ByteBuffer output(static_cast<std::size_t>(
        std::clamp<std::uint64_t>(member.UncompressedSize() + 1, kMinOutputChunk, kChunk)));
    bool finished = false;
    while (!finished) {
        if (inflater.InputLeft() == 0) {
            if (done == compressed) {
                throw EFatalUnzipError(member.Name + ": deflate stream ends after its compressed size");
            }
            if (limits.BeforeChunk) {
                limits.BeforeChunk(done);
            }
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(input.size(), compressed - done));
            file.ReadExact(input.data(), n);
            done += n;
            inflater.Input(input.data(), n);
        }
        const std::size_t produced = inflater.Output(output.data(), output.size(), finished);
        out.Write(output.data(), produced);
        if (produced == 0 && !finished && inflater.InputLeft() != 0) {
            throw EZCompressionError(member.Name + ": inflate made no progress");
        }
    }
    out.Finish();
}

} // namespace archive
