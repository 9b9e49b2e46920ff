#include "archive/ZipDeflater.h"

#include "archive/ZipInspector.h"
#include "archive/ZipOutputFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace archive;
using testsupport::TempDir;

std::string InflateRaw(const std::string& compressed, std::size_t expectedSize)
{
    z_stream zs{};
    EXPECT_EQ(inflateInit2(&zs, -15), Z_OK);
    std::string out(expectedSize + 1, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    zs.avail_in = static_cast<uInt>(compressed.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(out.size() - zs.avail_out);
    inflateEnd(&zs);
    return out;
}

// Deflates content (its size given to the deflater as sizeHint) and returns the compressed bytes.
std::string Deflated(const TempDir& dir, const std::string& content, std::uint64_t sizeHint)
{
    testsupport::WriteFileBytes(dir / "in", content);
    const auto outPath = dir / "out";
    const int outFd = open(outPath.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    const int inFd = open((dir / "in").c_str(), O_RDONLY);
    EXPECT_GE(outFd, 0);
    EXPECT_GE(inFd, 0);
    ZipDataResult result;
    {
        ZipOutputFile out(outFd, outPath.string());
        result = DeflateFile(inFd, "in", sizeHint, out, 6);
        out.Flush();
    }
    close(inFd);
    close(outFd);
    const std::string compressed = testsupport::ReadFileBytes(outPath);
    EXPECT_EQ(result.CompressedSize, compressed.size());
    EXPECT_EQ(result.UncompressedSize, content.size());
    EXPECT_EQ(result.Crc32,
              crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
    return compressed;
}

// Compressed size with zlib's largest window and memory level.
std::size_t LargestShapeSize(const std::string& content)
{
    z_stream zs{};
    EXPECT_EQ(deflateInit2(&zs, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&zs, static_cast<uLong>(content.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
    zs.avail_in = static_cast<uInt>(content.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
    const std::size_t size = out.size() - zs.avail_out;
    deflateEnd(&zs);
    return size;
}

// The deflater's window is sized to the input, yet a repeat of the input's first bytes at its very
// end is still found: the output is never larger than with the largest window, around every size
// where the window grows. A wrong size hint only changes how well the input compresses.
TEST(DeflateFile, WindowSizedToTheInputStillReachesItsStart)
{
    TempDir dir;
    for (const std::size_t size : {1U, 200U, 460U, 1000U, 1948U, 3996U, 8100U, 16000U, 32000U}) {
        const std::string noise = writertest::RandomBytes(size, static_cast<unsigned>(size));
        const std::string content = noise + noise.substr(0, std::min<std::size_t>(size, 50));
        const std::string compressed = Deflated(dir, content, content.size());
        EXPECT_EQ(InflateRaw(compressed, content.size()), content) << size;
        EXPECT_LE(compressed.size(), LargestShapeSize(content)) << size;
    }
    const std::string text = writertest::RandomBytes(40000, 3) + std::string(50000, 'x');
    for (const std::uint64_t hint : {std::uint64_t{0}, std::uint64_t{10}, std::uint64_t{1} << 40}) {
        EXPECT_EQ(InflateRaw(Deflated(dir, text, hint), text.size()), text) << hint;
    }
}

} // namespace
