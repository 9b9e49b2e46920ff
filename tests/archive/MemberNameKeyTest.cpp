#include "archive/MemberNameKey.h"

#include <gtest/gtest.h>

namespace archive {
namespace {

TSortedZip MembersNamed(const std::vector<std::string>& names)
{
    TSortedZip members;
    std::uint64_t offset = 0;
    for (const std::string& name : names) {
        TZipHeaderInfo member;
        member.SetName(name);
        member.SetLocalHeaderOffset(offset);
        offset += 100;
        members.Add(std::move(member));
    }
    return members;
}

// Names equal but for ASCII case, leading '/' or '\' are one name; each repeated name is given
// once, as its first member spells it, in archive order.
TEST(DuplicateMemberNames, AreFoundAcrossCaseSlashesAndSeparators)
{
    EXPECT_TRUE(DuplicateMemberNames(MembersNamed({})).empty());
    EXPECT_TRUE(DuplicateMemberNames(MembersNamed({"a.xml", "b.xml", "a.xml/", "ab.xml", "\xC3\x84.xml",
                                                   "\xC3\xA4.xml"}))
                    .empty());
    EXPECT_EQ(DuplicateMemberNames(MembersNamed({"docProps/core.xml", "ppt/x.xml", "Z.xml", "/DOCPROPS/Core.XML",
                                                 "z.xml", "docprops\\core.xml", "ppt/y.xml"})),
              (std::vector<std::string>{"docProps/core.xml", "Z.xml"}));
    EXPECT_EQ(DuplicateMemberNames(MembersNamed({"b", "a", "//A", "B"})), (std::vector<std::string>{"b", "a"}));
}

// Names are compared eight bytes at a time: every ASCII letter, at every place in a word, in a
// short tail or a long name, is one name in either case; the bytes next to the letters ('@', '[',
// '`', '{') and bytes above 0x7F keep their case bit.
TEST(DuplicateMemberNames, CaseIsFoldedForEveryLetterAtEveryPlace)
{
    for (std::size_t at = 0; at < 19; ++at) {
        for (int c = 1; c < 256; ++c) {
            if (c == '/' || c == '\\') {
                continue;
            }
            std::string name = std::string(at, 'k') + static_cast<char>(c) + "x";
            std::string other = name;
            const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            other[at] = static_cast<char>(letter ? c ^ 0x20 : c);
            EXPECT_EQ(DuplicateMemberNames(MembersNamed({name, other})).size(), 1U) << at << " " << c;
        }
        for (const int c : {0x40, 0x5B, 0x60, 0x7B, 0xC1, 0xE1}) { // '@' '[' '`' '{' and two bytes above 0x7F
            std::string name = std::string(at, 'k') + static_cast<char>(c) + "x";
            std::string other = name;
            other[at] = static_cast<char>(c ^ 0x20);
            EXPECT_TRUE(DuplicateMemberNames(MembersNamed({name, other})).empty()) << at << " " << c;
        }
    }
}

// Many names with long common prefixes and one late repeat.
TEST(DuplicateMemberNames, FindsOneRepeatAmongMany)
{
    std::vector<std::string> names;
    for (int i = 0; i < 2000; ++i) {
        names.push_back("ppt/slides/slide" + std::to_string(i) + ".xml");
    }
    names.push_back("PPT/Slides/Slide1234.xml");
    EXPECT_EQ(DuplicateMemberNames(MembersNamed(names)), (std::vector<std::string>{"ppt/slides/slide1234.xml"}));
}

} // namespace
} // namespace archive
