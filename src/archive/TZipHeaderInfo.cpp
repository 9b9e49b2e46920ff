#include "archive/TZipHeaderInfo.h"

#include "archive/ZipFormat.h"

#include <algorithm>

namespace archive {

std::string NormaliseMemberName(std::string_view name)
{
    std::string out(name);
    NormaliseMemberNameInPlace(out);
    return out;
}

void NormaliseMemberNameInPlace(std::string& name)
{
    // Most names hold no '\\': found by memchr, which is much faster than a replace that visits
    // every byte.
    for (std::size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1)) {
        name[at] = '/';
    }
}

std::uint64_t TZipHeaderInfo::CompressedSize() const
{
    return CompressedSize32 == kMarker32 && Zip64 ? Zip64->CompressedSize : CompressedSize32;
}

std::uint64_t TZipHeaderInfo::UncompressedSize() const
{
    return UncompressedSize32 == kMarker32 && Zip64 ? Zip64->UncompressedSize : UncompressedSize32;
}

std::uint64_t TZipHeaderInfo::LocalHeaderOffset() const
{
    return LocalHeaderOffset32 == kMarker32 && Zip64 ? Zip64->LocalHeaderOffset : LocalHeaderOffset32;
}

std::uint32_t TZipHeaderInfo::DiskNumberStart() const
{
    return DiskNumberStart16 == kMarker16 && Zip64 ? Zip64->DiskNumberStart : DiskNumberStart16;
}

void TZipHeaderInfo::SetCompressedSize(std::uint64_t value)
{
    if (value >= kMarker32) {
        Zip64.emplace(Zip64.value_or(TZip64Record{})).CompressedSize = value;
        CompressedSize32 = kMarker32;
    } else {
        CompressedSize32 = static_cast<std::uint32_t>(value);
    }
}

void TZipHeaderInfo::SetUncompressedSize(std::uint64_t value)
{
    if (value >= kMarker32) {
        Zip64.emplace(Zip64.value_or(TZip64Record{})).UncompressedSize = value;
        UncompressedSize32 = kMarker32;
    } else {
        UncompressedSize32 = static_cast<std::uint32_t>(value);
    }
}

void TZipHeaderInfo::SetLocalHeaderOffset(std::uint64_t value)
{
    if (value >= kMarker32) {
        Zip64.emplace(Zip64.value_or(TZip64Record{})).LocalHeaderOffset = value;
        LocalHeaderOffset32 = kMarker32;
    } else {
        LocalHeaderOffset32 = static_cast<std::uint32_t>(value);
    }
}

void TZipHeaderInfo::SetDiskNumberStart(std::uint32_t value)
{
    if (value >= kMarker16) {
        Zip64.emplace(Zip64.value_or(TZip64Record{})).DiskNumberStart = value;
        DiskNumberStart16 = kMarker16;
    } else {
        DiskNumberStart16 = static_cast<std::uint16_t>(value);
    }
}

void TZipHeaderInfo::SetName(std::string_view storedName)
{
    StoredName.assign(storedName);
    Name = StoredName;
    NormaliseMemberNameInPlace(Name);
}

std::string TZipHeaderInfo::FileName() const
{
    const auto slash = Name.rfind('/');
    return slash == std::string::npos ? Name : Name.substr(slash + 1);
}

std::string TZipHeaderInfo::Directory() const
{
    const auto slash = Name.rfind('/');
    return slash == std::string::npos ? std::string() : Name.substr(0, slash + 1);
}

} // namespace archive
