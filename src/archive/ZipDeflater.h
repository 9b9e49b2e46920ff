#pragma once

#include "archive/ZipOutputFile.h"

#include <cstdint>
#include <functional>
#include <string>

// Turns one input file into member data on the output: raw deflate or a plain copy, with the
// CRC-32 and both sizes counted from the bytes actually read.
namespace archive {

struct ZipDataResult
{
    std::uint32_t Crc32 = 0;
    std::uint64_t CompressedSize = 0;
    std::uint64_t UncompressedSize = 0;
};

// Called after each chunk with the number of input bytes it held; may throw to cancel.
using ZipChunkCallback = std::function<void(std::uint64_t)>;

// Raw deflate (no zlib header), memory level 8, default strategy, in fixed-size buffers.
ZipDataResult DeflateFile(
    int inFd, const std::string& inName, ZipOutputFile& out, int level, const ZipChunkCallback& onChunk = {});

ZipDataResult
StoreFile(int inFd, const std::string& inName, ZipOutputFile& out, const ZipChunkCallback& onChunk = {});

} // namespace archive
