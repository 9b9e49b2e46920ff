#include "archive/ArchiveErrors.h"
#include "archive/ArchiveFile.h"
#include "archive/ByteBuffer.h"
#include "archive/DirectoryReading.h"
#include "archive/DosDateTime.h"
#include "archive/RawInflater.h"
#include "archive/ZipFormat.h"

#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace archive {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::optional<std::uint64_t> FindFirstLocalHeader(ArchiveFile& file, const std::function<void()>& onProgress)
{
    static constexpr unsigned char kSig[4] = {0x50, 0x4B, 0x03, 0x04};
    ByteBuffer chunk(kChunk + 3);
    std::uint64_t position = 0;
    while (position < file.Size()) {
        file.Seek(position);
        const std::size_t n = file.Read(chunk.data(), chunk.size());
        if (n < 4) {
            break;
        }
        for (std::size_t i = 0; i + 4 <= n; ++i) {
            if (chunk[i] == 0x50 && std::memcmp(chunk.data() + i, kSig, 4) == 0) {
                return position + i;
            }
        }
        position += n - 3;
        if (onProgress) {
            onProgress();
        }
    }
    return std::nullopt;
}

// The length of the deflate stream starting at the position, found by decoding it (output dropped).
std::optional<std::uint64_t> DeflateStreamLength(ArchiveFile& file, std::uint64_t start)
{
    RawInflater inflater;
    ByteBuffer input(kChunk);
    ByteBuffer output(kChunk);
    std::uint64_t fed = 0;
    bool finished = false;
    file.Seek(start);
    try {
        while (!finished) {
            if (inflater.InputLeft() == 0) {
                const std::size_t n = file.Read(input.data(), input.size());
                if (n == 0) {
                    return std::nullopt;
                }
                fed += n;
                inflater.Input(input.data(), n);
            }
            inflater.Output(output.data(), output.size(), finished);
        }
    } catch (const EZLibError&) {
        return std::nullopt;
    }
    return fed - inflater.InputLeft();
}

// Reads the data descriptor after a member's data (with or without its signature) into the member and
// returns its length.
std::size_t ReadDataDescriptor(ArchiveFile& file, std::uint64_t position, TZipHeaderInfo& member)
{
    std::array<unsigned char, 24> d{};
    file.Seek(position);
    const std::size_t n = file.Read(d.data(), d.size());
    const bool signature = n >= 4 && GetU32(d.data()) == kDataDescriptorSignature;
    const unsigned char* p = d.data() + (signature ? 4 : 0);
    const bool wide = member.Zip64.has_value();
    const std::size_t length = (signature ? 4 : 0) + (wide ? 20 : 12);
    if (n < length) {
        return 0;
    }
    member.CRC32 = GetU32(p);
    if (wide) {
        member.SetCompressedSize(GetU64(p + 4));
        member.SetUncompressedSize(GetU64(p + 12));
    } else {
        member.SetCompressedSize(GetU32(p + 4));
        member.SetUncompressedSize(GetU32(p + 8));
    }
    return length;
}

} // namespace

bool RebuildFromLocalHeaders(ArchiveFile& file, TSortedZip& members, const std::function<void()>& onProgress)
{
    members.Clear();
    const std::optional<std::uint64_t> firstHeader = FindFirstLocalHeader(file, onProgress);
    if (!firstHeader) {
        return false;
    }
    std::uint64_t position = *firstHeader;
    while (true) {
        std::array<unsigned char, kLocalHeaderSize> h{};
        file.Seek(position);
        if (file.Read(h.data(), h.size()) != h.size() || GetU32(h.data()) != kLocalHeaderSignature) {
            break;
        }
        const std::uint16_t n = GetU16(h.data() + 26);
        const std::uint16_t m = GetU16(h.data() + 28);
        std::string variable(static_cast<std::size_t>(n) + m, '\0');
        if (file.Read(variable.data(), variable.size()) != variable.size()) {
            break;
        }
        TZipHeaderInfo member;
        member.VersionMadeBy = 20; // the host is unknown here: no Unix permissions are applied
        member.ExternalAttributes = 0;
        member.VersionNeeded = GetU16(h.data() + 4);
        member.Flags = GetU16(h.data() + 6);
        member.CompressionMethod = GetU16(h.data() + 8);
        member.DosDateTime = CorrectDosDateTime(GetU32(h.data() + 10));
        member.CRC32 = GetU32(h.data() + 14);
        member.CompressedSize32 = GetU32(h.data() + 18);
        member.UncompressedSize32 = GetU32(h.data() + 22);
        member.LocalExtraLength = m;
        member.SetName(std::string_view(variable).substr(0, n));
        ParseZip64Extra(std::string_view(variable).substr(n), member);
        member.SetLocalHeaderOffset(position);

        const std::uint64_t dataStart = position + kLocalHeaderSize + n + m;
        std::uint64_t next = 0;
        if (member.HasDataDescriptor() && member.CompressedSize() == 0) {
            // Sizes follow the data; a deflate stream tells its own length.
            if (member.CompressionMethod != kMethodDeflated) {
                break;
            }
            const std::optional<std::uint64_t> length = DeflateStreamLength(file, dataStart);
            if (!length) {
                break;
            }
            const std::size_t descriptor = ReadDataDescriptor(file, dataStart + *length, member);
            if (descriptor == 0 || member.CompressedSize() != *length) {
                break;
            }
            next = dataStart + *length + descriptor;
        } else {
            next = dataStart + member.CompressedSize();
            if (member.HasDataDescriptor()) {
                std::array<unsigned char, 4> sig{};
                file.Seek(next);
                const bool signature = file.Read(sig.data(), sig.size()) == sig.size() &&
                                       GetU32(sig.data()) == kDataDescriptorSignature;
                next += (signature ? 4 : 0) + (member.Zip64 ? 20 : 12);
            }
        }
        if (next > file.Size()) {
            break; // a member cut off by the end of the file is left out
        }
        members.Add(std::move(member));
        position = next;
        if (onProgress) {
            onProgress();
        }
    }
    return !members.Empty();
}

} // namespace archive
