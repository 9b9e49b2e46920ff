#include "archive/MemberNameKey.h"

#include "archive/WriterFileList.h"

#include <unordered_map>

namespace archive {

std::string MemberNameKey(std::string_view name)
{
    while (!name.empty() && name.front() == '/') {
        name.remove_prefix(1);
    }
    return AsciiLower(std::string(name));
}

std::vector<std::string> DuplicateMemberNames(const TSortedZip& members)
{
    std::unordered_map<std::string, std::size_t> first; // key -> index of its first member
    std::vector<std::string> firstNames;
    std::vector<bool> repeated;
    for (const auto& member : members) {
        const auto [it, added] = first.try_emplace(MemberNameKey(member->Name), firstNames.size());
        if (added) {
            firstNames.push_back(member->Name);
            repeated.push_back(false);
        } else {
            repeated[it->second] = true;
        }
    }
    std::vector<std::string> duplicates;
    for (std::size_t i = 0; i < firstNames.size(); ++i) {
        if (repeated[i]) {
            duplicates.push_back(firstNames[i]);
        }
    }
    return duplicates;
}

} // namespace archive
