#pragma once

#include "archive/TEndCentral.h"
#include "archive/TSortedZip.h"
#include "archive/TZipHeaderInfo.h"

#include <functional>
#include <string_view>

// The steps of reading an archive's directory, kept apart from the reader object so that each can be
// tested and reused by the writer.
namespace archive {

class ArchiveFile;

enum class EndRecordSearch
{
    Found,
    EmptyFile, // a 0-byte file: an archive without members
    NotFound,
};

// Finds the end record in the last 64 KiB + 22 bytes, and the Zip64 end record it points to.
EndRecordSearch FindEndRecord(ArchiveFile& file, TEndCentral& end);

// Reads one central record at the file position and moves past it; false (position unspecified) when
// no complete record stands there.
bool ReadCentralRecord(ArchiveFile& file, TZipHeaderInfo& member);

// Takes the values whose fields hold the all-ones marker from a Zip64 block of an extra field.
// Returns the block's length including its header, or 0 when there is none.
std::uint16_t ParseZip64Extra(std::string_view extra, TZipHeaderInfo& member);

// Builds the member list from the local headers, for archives whose directory is missing or broken.
// False when no local header is found. onProgress is called between members.
bool RebuildFromLocalHeaders(ArchiveFile& file, TSortedZip& members, const std::function<void()>& onProgress);

// Whether the file starts with the compound document signature D0 CF 11 E0 A1 B1 1A E1.
bool StartsWithOle2Signature(ArchiveFile& file);

} // namespace archive
