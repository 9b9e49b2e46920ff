#include "archive/ZipDeflater.h"

#include "archive/ArchiveErrors.h"
#include "archive/ByteBuffer.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace archive {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr int kLargestWindowBits = 15;
constexpr int kSmallestWindowBits = 9;
constexpr int kLargestMemoryLevel = 8;
// zlib keeps this many bytes of look-ahead, so matches reach back at most the window less these.
constexpr std::uint64_t kLookAhead = 262;

struct StreamShape
{
    int WindowBits;
    int MemoryLevel;
};

// The window and tables a deflate stream needs for an input of this size. A window that spans the
// whole input finds every match the largest one would, and tables of twice its size keep hash
// collisions as rare; for the small parts a save writes they are a few KiB instead of the 256 KiB
// (allocated and cleared) of the largest shape. Raw deflate does not record the window size, so
// any reader inflates the result. An input larger than its hint only compresses less well.
StreamShape ShapeFor(std::uint64_t inputSize)
{
    int bits = kSmallestWindowBits;
    while (bits < kLargestWindowBits && (std::uint64_t{1} << bits) < inputSize + kLookAhead) {
        ++bits;
    }
    return {bits, std::clamp(bits - 6, 1, kLargestMemoryLevel)};
}

// Owns a deflate stream for the duration of one member.
class DeflateStream
{
public:
    DeflateStream(int level, StreamShape shape)
    {
        const int rc = deflateInit2(&m_stream, level, Z_DEFLATED, -shape.WindowBits, shape.MemoryLevel,
                                    Z_DEFAULT_STRATEGY);
        if (rc != Z_OK) {
            throw EZCompressionError("deflateInit2 failed (" + std::to_string(rc) + ")");
        }
    }

    ~DeflateStream() { deflateEnd(&m_stream); }

    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    z_stream& Get() { return m_stream; }

private:
    z_stream m_stream{};
};

// Reads up to size bytes; 0 only at the end of the file.
std::size_t ReadSome(int fd, char* data, std::size_t size, const std::string& name)
{
    for (;;) {
        const ssize_t n = ::read(fd, data, size);
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            throw EArchiveIoError("Cannot read " + name + ": " + std::strerror(errno));
        }
    }
}

std::uint32_t UpdateCrc(std::uint32_t crc, const char* data, std::size_t size)
{
    return static_cast<std::uint32_t>(
        crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size)));
}

// Buffers as large as the input needs, at most one chunk: the parts a save writes are small, and
// large freed buffers are handed back to the system after each part only to fault in again.
std::size_t BufferSizeFor(std::uint64_t inputSize)
{
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(inputSize + 1, 4096, kChunkSize));
}

} // namespace

ZipDataResult DeflateFile(int inFd,
                          const std::string& inName,
                          std::uint64_t sizeHint,
                          ZipOutputFile& out,
                          int level,
                          const ZipChunkCallback& onChunk)
{
    DeflateStream deflater(level, ShapeFor(sizeHint));
    z_stream& zs = deflater.Get();
    // Not cleared: clearing costs more than deflating a small part.
    ByteBuffer input(BufferSizeFor(sizeHint));
    ByteBuffer output(input.size());
    ZipDataResult result;
    result.Crc32 = static_cast<std::uint32_t>(crc32(0, nullptr, 0));

    int flush = Z_NO_FLUSH;
    while (flush != Z_FINISH) {
        const std::size_t got = ReadSome(inFd, input.chars(), input.size(), inName);
        flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
        result.Crc32 = UpdateCrc(result.Crc32, input.chars(), got);
        result.UncompressedSize += got;
        zs.next_in = reinterpret_cast<Bytef*>(input.chars());
        zs.avail_in = static_cast<uInt>(got);
        do {
            zs.next_out = reinterpret_cast<Bytef*>(output.chars());
            zs.avail_out = static_cast<uInt>(output.size());
            const int rc = deflate(&zs, flush);
            if (rc == Z_STREAM_ERROR) {
                throw EZCompressionError(inName);
            }
            const std::size_t produced = output.size() - zs.avail_out;
            out.Write(output.chars(), produced);
            result.CompressedSize += produced;
        } while (zs.avail_out == 0);
        if (onChunk && got > 0) {
            onChunk(got);
        }
    }
    return result;
}

ZipDataResult
StoreFile(int inFd,
          const std::string& inName,
          std::uint64_t sizeHint,
          ZipOutputFile& out,
          const ZipChunkCallback& onChunk)
{
    ByteBuffer buffer(BufferSizeFor(sizeHint));
    ZipDataResult result;
    result.Crc32 = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    for (;;) {
        const std::size_t got = ReadSome(inFd, buffer.chars(), buffer.size(), inName);
        if (got == 0) {
            break;
        }
        result.Crc32 = UpdateCrc(result.Crc32, buffer.chars(), got);
        result.UncompressedSize += got;
        out.Write(buffer.chars(), got);
        if (onChunk) {
            onChunk(got);
        }
    }
    result.CompressedSize = result.UncompressedSize;
    return result;
}

} // namespace archive
