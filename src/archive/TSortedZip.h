#pragma once

#include "archive/TZipHeaderInfo.h"

#include <cstddef>
#include <memory>
#include <vector>

// The member list, kept ordered by a sort mode. In ByNone order (disk, then local header offset) it is
// the physical order of the archive; two members at one place are refused with EDuplicateObject.
namespace archive {

enum class TZipSortMode
{
    ByName,
    ByFileName,
    ByDirectoryName,
    ByDate,
    ByCompressedSize,
    ByUnCompressedSize,
    ByRate,
    ByNone,
};

class TSortedZip
{
public:
    explicit TSortedZip(TZipSortMode mode = TZipSortMode::ByNone);

    [[nodiscard]] std::size_t Count() const { return m_items.size(); }

    [[nodiscard]] bool Empty() const { return m_items.empty(); }

    // Throws std::out_of_range "List index out of bounds (i)".
    [[nodiscard]] const TZipHeaderInfo& operator[](std::size_t i) const;
    [[nodiscard]] TZipHeaderInfo& operator[](std::size_t i);

    // Inserts at the sorted position and returns the stored record (its address stays valid until it
    // is deleted). Throws EDuplicateObject when a member compares equal to one already held.
    TZipHeaderInfo& Add(TZipHeaderInfo member);
    // The same for a member already on the heap (no copy of it is made). member must not be null.
    TZipHeaderInfo& Add(std::unique_ptr<TZipHeaderInfo> member);
    void Delete(std::size_t i);
    void Clear();

    [[nodiscard]] TZipSortMode SortMode() const { return m_mode; }

    // True when any held member carries a Zip64 record.
    [[nodiscard]] bool Zip64() const;

    // Strict weak order of the given mode.
    static bool Less(TZipSortMode mode, const TZipHeaderInfo& a, const TZipHeaderInfo& b);

    using Items = std::vector<std::unique_ptr<TZipHeaderInfo>>;

    [[nodiscard]] Items::const_iterator begin() const { return m_items.begin(); }

    [[nodiscard]] Items::const_iterator end() const { return m_items.end(); }

private:
    TZipSortMode m_mode;
    Items m_items;
};

} // namespace archive
