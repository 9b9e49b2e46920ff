#include "archive/TSortedZip.h"

#include "archive/ArchiveErrors.h"
#include "archive/DosDateTime.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace archive {
namespace {

int CompareNoCase(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        const int ca = lower(static_cast<unsigned char>(a[i]));
        const int cb = lower(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::uint64_t Rate(const TZipHeaderInfo& m)
{
    if (m.UncompressedSize() == 0) {
        return 0;
    }
    const std::uint64_t rate = (m.CompressedSize() * 100 + m.UncompressedSize() / 2) / m.UncompressedSize();
    return std::min<std::uint64_t>(rate, 100);
}

} // namespace

TSortedZip::TSortedZip(TZipSortMode mode)
    : m_mode(mode)
{}

const TZipHeaderInfo& TSortedZip::operator[](std::size_t i) const
{
    if (i >= m_items.size()) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(i) + ")");
    }
    return *m_items[i];
}

TZipHeaderInfo& TSortedZip::operator[](std::size_t i)
{
    if (i >= m_items.size()) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(i) + ")");
    }
    return *m_items[i];
}

bool TSortedZip::Less(TZipSortMode mode, const TZipHeaderInfo& a, const TZipHeaderInfo& b)
{
    switch (mode) {
    case TZipSortMode::ByName:
        return CompareNoCase(a.Name, b.Name) < 0;
    case TZipSortMode::ByFileName:
        return CompareNoCase(a.FileName(), b.FileName()) < 0;
    case TZipSortMode::ByDirectoryName:
        return CompareNoCase(a.Directory(), b.Directory()) < 0;
    case TZipSortMode::ByDate:
        return CorrectDosDateTime(a.DosDateTime) < CorrectDosDateTime(b.DosDateTime);
    case TZipSortMode::ByCompressedSize:
        return a.CompressedSize() < b.CompressedSize();
    case TZipSortMode::ByUnCompressedSize:
        return a.UncompressedSize() < b.UncompressedSize();
    case TZipSortMode::ByRate:
        return Rate(a) < Rate(b);
    case TZipSortMode::ByNone:
        break;
    }
    return std::make_tuple(a.DiskNumberStart(), a.LocalHeaderOffset()) <
           std::make_tuple(b.DiskNumberStart(), b.LocalHeaderOffset());
}

TZipHeaderInfo& TSortedZip::Add(TZipHeaderInfo member)
{
    return Add(std::make_unique<TZipHeaderInfo>(std::move(member)));
}

TZipHeaderInfo& TSortedZip::Add(std::unique_ptr<TZipHeaderInfo> member)
{
    // Members mostly arrive in order (a directory read in physical order): append without a search.
    if (m_items.empty() || Less(m_mode, *m_items.back(), *member)) {
        return *m_items.emplace_back(std::move(member));
    }
    const auto pos = std::lower_bound(m_items.begin(), m_items.end(), *member,
                                      [this](const std::unique_ptr<TZipHeaderInfo>& held,
                                             const TZipHeaderInfo& m) { return Less(m_mode, *held, m); });
    if (pos != m_items.end() && !Less(m_mode, *member, **pos)) {
        throw EDuplicateObject(member->Name);
    }
    return **m_items.insert(pos, std::move(member));
}

void TSortedZip::Delete(std::size_t i)
{
    if (i >= m_items.size()) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(i) + ")");
    }
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
}

void TSortedZip::Clear()
{
    m_items.clear();
}

bool TSortedZip::Zip64() const
{
    return std::any_of(m_items.begin(), m_items.end(), [](const auto& m) { return m->Zip64.has_value(); });
}

} // namespace archive
