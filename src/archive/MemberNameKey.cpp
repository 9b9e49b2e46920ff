#include "archive/MemberNameKey.h"

#include "archive/WriterFileList.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace archive {
namespace {

std::string_view WithoutLeadingSlashes(std::string_view name)
{
    while (!name.empty() && name.front() == '/') {
        name.remove_prefix(1);
    }
    return name;
}

// Orders names as their MemberNameKey texts order, without building them.
int CompareKeys(std::string_view a, std::string_view b)
{
    a = WithoutLeadingSlashes(a);
    b = WithoutLeadingSlashes(b);
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(AsciiLowerChar(a[i]));
        const auto y = static_cast<unsigned char>(AsciiLowerChar(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The eight bytes with every ASCII capital letter in lower case, the others unchanged.
std::uint64_t AsciiLowerWord(std::uint64_t word)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    // The low seven bits of each byte, plus an offset that carries into the byte's high bit when
    // they reach 'A' (or pass 'Z'); never into the next byte.
    const std::uint64_t low = word & ~kHighBits;
    const std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
    const std::uint64_t pastZ = low + (0x80 - 'Z' - 1) * kOnes;
    const std::uint64_t capitals = atLeastA & ~pastZ & ~word & kHighBits;
    return word | (capitals >> 2); // 0x80 >> 2 is the case bit 0x20
}

// A hash of the key's bytes, eight at a time: equal keys give equal hashes.
std::uint64_t KeyHash(std::string_view name)
{
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
    name = WithoutLeadingSlashes(name);
    std::uint64_t hash = name.size() * kMultiplier;
    while (!name.empty()) {
        std::uint64_t word = 0; // a short tail is padded with zero bytes
        const std::size_t taken = std::min<std::size_t>(name.size(), sizeof word);
        std::memcpy(&word, name.data(), taken);
        name.remove_prefix(taken);
        hash = (hash ^ AsciiLowerWord(word)) * kMultiplier;
        hash ^= hash >> 29;
    }
    return hash ^ (hash >> 32);
}

} // namespace

std::string MemberNameKey(std::string_view name)
{
    return AsciiLower(std::string(WithoutLeadingSlashes(name)));
}

std::vector<std::string> DuplicateMemberNames(const TSortedZip& members)
{
    // This runs on every load and almost never finds anything: the keys' hashes go into an open
    // addressing table, and only when two hashes meet are the keys themselves compared.
    std::size_t slots = 16;
    while (slots < members.Count() * 2) {
        slots *= 2;
    }
    std::vector<std::uint64_t> table(slots, 0); // 0 marks an empty slot; a zero hash is stored as 1
    bool hashesMeet = false;
    for (std::size_t i = 0; i < members.Count() && !hashesMeet; ++i) {
        const std::uint64_t hash = std::max<std::uint64_t>(KeyHash(members[i].Name), 1);
        for (std::size_t slot = hash & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
            if (table[slot] == 0) {
                table[slot] = hash;
                break;
            }
            if (table[slot] == hash) {
                hashesMeet = true;
                break;
            }
        }
    }
    if (!hashesMeet) {
        return {};
    }
    // Sorted by key, equal keys are neighbours.
    std::vector<std::size_t> order(members.Count());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = CompareKeys(members[a].Name, members[b].Name);
        return c != 0 ? c < 0 : a < b;
    });
    std::vector<std::size_t> firstOfRepeated; // archive index of the first member of each repeated key
    for (std::size_t i = 0; i + 1 < order.size();) {
        std::size_t j = i + 1;
        while (j < order.size() && CompareKeys(members[order[i]].Name, members[order[j]].Name) == 0) {
            ++j;
        }
        if (j - i > 1) {
            firstOfRepeated.push_back(order[i]); // the group is in archive order
        }
        i = j;
    }
    std::sort(firstOfRepeated.begin(), firstOfRepeated.end());
    std::vector<std::string> duplicates;
    duplicates.reserve(firstOfRepeated.size());
    for (const std::size_t index : firstOfRepeated) {
        duplicates.push_back(members[index].Name);
    }
    return duplicates;
}

} // namespace archive
