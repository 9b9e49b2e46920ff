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
