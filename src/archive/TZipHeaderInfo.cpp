#include "archive/TZipHeaderInfo.h"

#include "archive/ZipFormat.h"

#include <algorithm>
#include <array>
#include <new>

// Under AddressSanitizer every record keeps a block of its own, so that a use after free is caught.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_RECYCLE_RECORDS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_RECYCLE_RECORDS 0
#endif
#endif
#ifndef VELMORA_RECYCLE_RECORDS
#define VELMORA_RECYCLE_RECORDS 1
#endif

namespace archive {
namespace {

// Blocks of records freed on this thread, for the records the thread allocates next. Blocks come
// from the global operator new, so a record freed on another thread than the one that made it is
// simply kept there.
class SpareRecordBlocks
{
public:
    SpareRecordBlocks() = default;
    SpareRecordBlocks(const SpareRecordBlocks&) = delete;
    SpareRecordBlocks& operator=(const SpareRecordBlocks&) = delete;

    ~SpareRecordBlocks()
    {
        Closed() = true; // records freed later in the thread's exit go straight back
        while (m_count > 0) {
            ::operator delete(m_blocks[--m_count]);
        }
    }

    void* Take() { return m_count > 0 ? m_blocks[--m_count] : nullptr; }

    bool Keep(void* block)
    {
        if (m_count == m_blocks.size()) {
            return false;
        }
        m_blocks[m_count++] = block;
        return true;
    }

    static bool& Closed()
    {
        thread_local bool closed = false;
        return closed;
    }

private:
    std::array<void*, 512> m_blocks;
    std::size_t m_count = 0;
};

SpareRecordBlocks* ThreadSpareRecordBlocks()
{
#if VELMORA_RECYCLE_RECORDS
    if (SpareRecordBlocks::Closed()) {
        return nullptr;
    }
    thread_local SpareRecordBlocks spares;
    return &spares;
#else
    return nullptr;
#endif
}

} // namespace

void* TZipHeaderInfo::operator new(std::size_t size)
{
    if (SpareRecordBlocks* spares = size == sizeof(TZipHeaderInfo) ? ThreadSpareRecordBlocks() : nullptr) {
        if (void* block = spares->Take()) {
            return block;
        }
    }
    return ::operator new(size);
}

void TZipHeaderInfo::operator delete(void* block, std::size_t size) noexcept
{
    if (block == nullptr) {
        return;
    }
    if (SpareRecordBlocks* spares = size == sizeof(TZipHeaderInfo) ? ThreadSpareRecordBlocks() : nullptr) {
        if (spares->Keep(block)) {
            return;
        }
    }
    ::operator delete(block);
}

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
    Name.assign(storedName);
    NormaliseStoredName();
}

void TZipHeaderInfo::NormaliseStoredName()
{
    if (Name.find('\\') == std::string::npos) {
        StoredNameIfDifferent.clear();
        return;
    }
    StoredNameIfDifferent = Name;
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
