#pragma once

#include "archive/TZipHeaderInfo.h"
#include "archive/ZipDeflater.h"
#include "archive/ZipOutputFile.h"
#include "archive/ZipRecordWriter.h"

#include <cstdint>
#include <filesystem>
#include <string>

// The two ways a member reaches a rebuilt archive: copied raw from the old archive, or made from a
// file on disk.
namespace archive {

// The old archive, opened by the writer for raw copies.
struct ZipSourceArchive
{
    int Fd = -1;
    std::string Name;
    std::uint64_t Size = 0;
    // The whole file's Size bytes when it was small enough to read at once (then members are
    // copied from here, not read member by member), else null.
    const unsigned char* Image = nullptr;
};

// Writes a new local header for the member and copies its local extra field (without a Zip64 block)
// and its compressed data unchanged. A data descriptor is dropped and its values go into the local
// header, except for an encrypted member, whose password check may rely on the descriptor flag: it
// keeps the flag and gets a fresh descriptor. Returns the values of its central record.
ZipMemberRecord CopyMemberRaw(const ZipSourceArchive& source,
                              const TZipHeaderInfo& member,
                              ZipOutputFile& out,
                              bool forceZip64);

// What a file on disk becomes.
struct NewMemberRecipe
{
    std::filesystem::path File;
    std::string StoredName; // bytes as they go into the headers
    std::uint16_t NameFlags = 0;
    std::string Comment;
    int PackLevel = 6; // 0 stores
    bool ForceZip64 = false;
};

// Compresses (or stores) the file as a member at the current output position. A file that cannot
// be opened or read throws; so does one that grows past what its local header can describe.
ZipMemberRecord
CompressFileAsMember(const NewMemberRecipe& recipe, ZipOutputFile& out, const ZipChunkCallback& onChunk = {});

// A folder member: stored, empty, dated and attributed like the folder.
ZipMemberRecord WriteFolderMember(const NewMemberRecipe& recipe, ZipOutputFile& out);

// The name flags of a new member: UTF-8 (bit 11) when the name is non-ASCII and valid UTF-8.
std::uint16_t NameFlagsFor(const std::string& storedName);

} // namespace archive
