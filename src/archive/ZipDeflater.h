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

// Raw deflate (no zlib header), default strategy. sizeHint, the input's size as the caller found
// it, only sizes the buffers, the window and the memory level (up to 32 KiB and 8): the whole
// input is read, whatever its size.
ZipDataResult DeflateFile(int inFd,
                          const std::string& inName,
                          std::uint64_t sizeHint,
                          ZipOutputFile& out,
                          int level,
                          const ZipChunkCallback& onChunk = {});

ZipDataResult StoreFile(int inFd,
                        const std::string& inName,
                        std::uint64_t sizeHint,
                        ZipOutputFile& out,
                        const ZipChunkCallback& onChunk = {});

} // namespace archive
