#pragma once

#include "archive/TZipHeaderInfo.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// Streams one member's data through fixed buffers: the compressed bytes are read in bounded chunks,
// decoded (stored or deflated), held to the declared size and a caller's limit, CRC-checked, and
// handed to a sink.
namespace archive {

class ArchiveFile;

struct DecodeLimits
{
    std::uint64_t MaxBytes = UINT64_MAX; // EMemberTooLarge beyond this
    // Called before each input chunk with the bytes of this member read so far (may throw to stop).
    std::function<void(std::uint64_t compressedDone)> BeforeChunk;
};

// Throws EEncryptedMember, EUnsupportedMember, EBiggerThanUncompressed, EMemberTooLarge, EBadCrc,
// EBadZipFile (data shorter than declared), EFatalUnzipError, EZCompressionError.
void DecodeMember(ArchiveFile& file,
                  std::uint64_t dataOffset,
                  const TZipHeaderInfo& member,
                  const std::function<void(const char* data, std::size_t size)>& sink,
                  const DecodeLimits& limits);

// Whether the decoder can produce this member's content, or why not.
const char* UnsupportedReason(const TZipHeaderInfo& member);

} // namespace archive
