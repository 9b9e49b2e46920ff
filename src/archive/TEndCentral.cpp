#include "archive/TEndCentral.h"

#include "archive/ZipFormat.h"

namespace archive {
namespace {

template <typename Field>
std::uint64_t
Resolve(Field stored, const std::optional<TZip64EndRecord>& zip64, std::uint64_t TZip64EndRecord::*member)
{
    constexpr Field marker = static_cast<Field>(~Field{0});
    return stored == marker && zip64 ? (*zip64).*member : stored;
}

template <typename Field>
void Store(Field& stored,
           std::optional<TZip64EndRecord>& zip64,
           std::uint64_t TZip64EndRecord::*member,
           std::uint64_t value)
{
    constexpr Field marker = static_cast<Field>(~Field{0});
    if (value >= marker) {
        if (!zip64) {
            zip64.emplace();
        }
        (*zip64).*member = value;
        stored = marker;
    } else {
        stored = static_cast<Field>(value);
    }
}

} // namespace

std::uint64_t TEndCentral::EntriesThisDisk() const
{
    return Resolve(EntriesThisDisk16, Zip64End, &TZip64EndRecord::EntriesThisDisk);
}

std::uint64_t TEndCentral::TotalEntries() const
{
    return Resolve(TotalEntries16, Zip64End, &TZip64EndRecord::TotalEntries);
}

std::uint64_t TEndCentral::CentralSize() const
{
    return Resolve(CentralSize32, Zip64End, &TZip64EndRecord::CentralSize);
}

std::uint64_t TEndCentral::CentralOffset() const
{
    return Resolve(CentralOffset32, Zip64End, &TZip64EndRecord::CentralOffset);
}

void TEndCentral::SetEntriesThisDisk(std::uint64_t value)
{
    Store(EntriesThisDisk16, Zip64End, &TZip64EndRecord::EntriesThisDisk, value);
}

void TEndCentral::SetTotalEntries(std::uint64_t value)
{
    Store(TotalEntries16, Zip64End, &TZip64EndRecord::TotalEntries, value);
}

void TEndCentral::SetCentralSize(std::uint64_t value)
{
    Store(CentralSize32, Zip64End, &TZip64EndRecord::CentralSize, value);
}

void TEndCentral::SetCentralOffset(std::uint64_t value)
{
    Store(CentralOffset32, Zip64End, &TZip64EndRecord::CentralOffset, value);
}

} // namespace archive
