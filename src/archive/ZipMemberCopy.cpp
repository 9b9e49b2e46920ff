#include "archive/ZipMemberCopy.h"

#include "archive/ArchiveErrors.h"
#include "archive/DosDateTime.h"
#include "archive/Utf8.h"
#include "archive/ZipFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace archive {

namespace {

constexpr std::uint16_t kMadeByDos20 = 0x002D;
constexpr std::uint16_t kFlagMaximumCompression = 0x0002;
constexpr std::uint16_t kFlagFastCompression = 0x0004;
constexpr std::uint32_t kDosReadOnly = 0x01;
constexpr std::uint32_t kDosDirectory = 0x10;
constexpr std::uint32_t kDosArchive = 0x20;

// Owns a descriptor of an input file.
class InputFile
{
public:
    explicit InputFile(const std::filesystem::path& path)
        : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        if (m_fd < 0) {
            throw EArchiveIoError("Cannot open " + path.string() + ": " + std::strerror(errno));
        }
    }

    ~InputFile() { close(m_fd); }

    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    [[nodiscard]] int Fd() const { return m_fd; }

private:
    int m_fd;
};

std::uint32_t DosAttributesOf(const struct stat& st)
{
    std::uint32_t attributes = S_ISDIR(st.st_mode) ? kDosDirectory : kDosArchive;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        attributes |= kDosReadOnly;
    }
    return attributes;
}

// Deflate can grow incompressible input slightly; a file this close to 4 GiB reserves the Zip64
// sizes in its local header, since the header's length cannot change once data follows it.
bool MayNeedZip64(std::uint64_t size)
{
    return size + size / 16000 + 1024 >= kMarker32;
}

ZipMemberRecord FreshRecord(const NewMemberRecipe& recipe, const struct stat& st, std::uint64_t offset)
{
    ZipMemberRecord record;
    record.VersionMadeBy = kMadeByDos20;
    record.VersionNeeded = 20;
    record.Flags = recipe.NameFlags;
    record.DosDateTime = TimeToDosDateTime(st.st_mtim.tv_sec);
    record.ExternalAttributes = DosAttributesOf(st);
    record.InternalAttributes = 0;
    record.LocalHeaderOffset = offset;
    record.Name = recipe.StoredName;
    record.Comment = recipe.Comment;
    record.ForceZip64 = recipe.ForceZip64;
    return record;
}

} // namespace

std::uint16_t NameFlagsFor(const std::string& storedName)
{
    const bool ascii = std::all_of(storedName.begin(), storedName.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && IsValidUtf8(storedName) ? kFlagUtf8 : 0;
}

namespace {

void ReadSourceAt(const ZipSourceArchive& source, void* data, std::size_t size, std::uint64_t offset)
{
    if (source.Image == nullptr) {
        ReadExactlyAt(source.Fd, data, size, offset, source.Name);
        return;
    }
    if (offset > source.Size || size > source.Size - offset) {
        throw EBadZipFile(source.Name + ": member data runs past the end of the archive");
    }
    std::memcpy(data, source.Image + offset, size);
}

} // namespace

ZipMemberRecord CopyMemberRaw(const ZipSourceArchive& source,
                              const TZipHeaderInfo& member,
                              ZipOutputFile& out,
                              bool forceZip64)
{
    const std::uint64_t offset = member.LocalHeaderOffset();
    unsigned char fixed[kLocalHeaderSize];
    ReadSourceAt(source, fixed, sizeof fixed, offset);
    if (GetU32(fixed) != kLocalHeaderSignature) {
        throw EBadZipFile(source.Name + ": no local header for " + member.Name);
    }
    const std::size_t nameLength = GetU16(fixed + 26);
    const std::size_t extraLength = GetU16(fixed + 28);
    std::string localExtra(extraLength, '\0');
    ReadSourceAt(source, localExtra.data(), extraLength, offset + kLocalHeaderSize + nameLength);
    const std::uint64_t dataStart = offset + kLocalHeaderSize + nameLength + extraLength;
    const std::uint64_t compressedSize = member.CompressedSize();
    if (dataStart > source.Size || compressedSize > source.Size - dataStart) {
        throw EBadZipFile(source.Name + ": data of " + member.Name + " runs past the end of the archive");
    }

    const bool keepDescriptor = member.IsEncrypted() && member.HasDataDescriptor();
    ZipMemberRecord record;
    record.VersionMadeBy = member.VersionMadeBy;
    record.VersionNeeded = std::max<std::uint16_t>(member.VersionNeeded, 20);
    record.Flags =
        keepDescriptor ? member.Flags : static_cast<std::uint16_t>(member.Flags & ~kFlagDataDescriptor);
    record.Method = member.CompressionMethod;
    record.DosDateTime = member.DosDateTime;
    record.Crc32 = member.CRC32;
    record.CompressedSize = compressedSize;
    record.UncompressedSize = member.UncompressedSize();
    record.LocalHeaderOffset = out.Position();
    record.InternalAttributes = member.InternalAttributes;
    record.ExternalAttributes = member.ExternalAttributes;
    record.Name = std::string(member.StoredName());
    record.CentralExtra = WithoutZip64Block(member.CentralExtra);
    record.Comment = member.Comment;
    record.ForceZip64 = forceZip64;

    const bool zip64Sizes = SizesNeedZip64(record);
    out.Write(LocalHeaderBytes(record, zip64Sizes, WithoutZip64Block(localExtra)));
    if (source.Image != nullptr) {
        out.Write(source.Image + dataStart, static_cast<std::size_t>(compressedSize));
    } else {
        out.CopyFrom(source.Fd, source.Name, dataStart, compressedSize);
    }
    if (keepDescriptor) {
        out.Write(
            DataDescriptorBytes(record.Crc32, record.CompressedSize, record.UncompressedSize, zip64Sizes));
    }
    return record;
}

ZipMemberRecord
CompressFileAsMember(const NewMemberRecipe& recipe, ZipOutputFile& out, const ZipChunkCallback& onChunk)
{
    InputFile input(recipe.File);

    struct stat st
    {
    };

    if (fstat(input.Fd(), &st) != 0 || !S_ISREG(st.st_mode)) {
        throw EArchiveIoError("Cannot read " + recipe.File.string() + ": not a regular file");
    }
    const bool store = recipe.PackLevel <= 0;
    ZipMemberRecord record = FreshRecord(recipe, st, out.Position());
    record.Method = store ? kMethodStored : kMethodDeflated;
    if (!store && recipe.PackLevel <= 2) {
        record.Flags |= kFlagFastCompression;
    } else if (!store && recipe.PackLevel >= 8) {
        record.Flags |= kFlagMaximumCompression;
    }
    const bool zip64Sizes = recipe.ForceZip64 || MayNeedZip64(static_cast<std::uint64_t>(st.st_size));
    const std::uint64_t headerOffset = record.LocalHeaderOffset;
    out.BeginRewritable();
    out.Write(LocalHeaderBytes(record, zip64Sizes, {}));

    const std::string inName = recipe.File.string();
    const ZipDataResult data =
        store ? StoreFile(input.Fd(), inName, static_cast<std::uint64_t>(st.st_size), out, onChunk)
              : DeflateFile(input.Fd(), inName, static_cast<std::uint64_t>(st.st_size), out,
                            std::min(recipe.PackLevel, 9), onChunk);
    record.Crc32 = data.Crc32;
    record.CompressedSize = data.CompressedSize;
    record.UncompressedSize = data.UncompressedSize;
    if (!zip64Sizes && SizesNeedZip64(record)) {
        throw EArchiveError("File grew while it was being compressed", inName);
    }
    out.WriteAt(headerOffset, LocalHeaderBytes(record, zip64Sizes, {}));
    out.EndRewritable();
    return record;
}

ZipMemberRecord WriteFolderMember(const NewMemberRecipe& recipe, ZipOutputFile& out)
{
    struct stat st
    {
    };

    if (stat(recipe.File.c_str(), &st) != 0) {
        throw EArchiveIoError("Cannot read " + recipe.File.string() + ": " + std::strerror(errno));
    }
    ZipMemberRecord record = FreshRecord(recipe, st, out.Position());
    record.Method = kMethodStored;
    out.Write(LocalHeaderBytes(record, recipe.ForceZip64, {}));
    return record;
}

} // namespace archive
