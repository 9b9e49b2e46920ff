#include "archive/WildcardMatch.h"

#include <gtest/gtest.h>

namespace {

struct MatchRow
{
    const char* Pattern;
    const char* Text;
    bool Matches;
};

class WildcardMatchTable : public ::testing::TestWithParam<MatchRow>
{
};

TEST_P(WildcardMatchTable, Matches)
{
    const MatchRow& row = GetParam();
    EXPECT_EQ(archive::WildcardMatch(row.Pattern, row.Text), row.Matches)
        << "pattern '" << row.Pattern << "' text '" << row.Text << "'";
}

INSTANTIATE_TEST_SUITE_P(Patterns,
                         WildcardMatchTable,
                         ::testing::Values(
                             // "*.*" needs a dot somewhere, "*" takes everything.
                             MatchRow{"*.*", "mimetype", false},
                             MatchRow{"*.*", "a.b/", true},
                             MatchRow{"*.*", "ppt/", false},
                             MatchRow{"*", "", true},
                             MatchRow{"*.*", "", false},
                             MatchRow{"*.*", "_rels/.rels", true},
                             MatchRow{"*.*", "ppt/slides/slide1.xml", true},
                             MatchRow{"*.*", "README.", true},
                             MatchRow{"*.*", "a.", true},
                             MatchRow{"*", "mimetype", true},
                             // Letter case never matters; brackets are ordinary characters.
                             MatchRow{"*.XML", "ppt/slides/slide1.xml", true},
                             MatchRow{"[content_types].xml", "[Content_Types].xml", true},
                             MatchRow{"[*].xml", "[Content_Types].xml", true},
                             MatchRow{"[content_types].xml", "Content_Types.xml", false},
                             // ? is exactly one character.
                             MatchRow{"slide?.xml", "slide1.xml", true},
                             MatchRow{"slide?.xml", "slide10.xml", false},
                             MatchRow{"slide?.xml", "slide.xml", false},
                             // Classes, ranges and negation.
                             MatchRow{"slide<0-9>.xml", "slide7.xml", true},
                             MatchRow{"slide<0-9>.xml", "slidex.xml", false},
                             MatchRow{"slide<!0-9>.xml", "slidex.xml", true},
                             MatchRow{"slide<^0-9>.xml", "slidex.xml", true},
                             MatchRow{"slide<abc>.xml", "slideb.xml", true},
                             MatchRow{"slide<0-9.xml", "slide1.xml", false},
                             MatchRow{"*<0-9>2.x", "ab12.x", true},
                             // Stars anchor nothing but must leave the literal tail to match.
                             MatchRow{"a*", "a", true},
                             MatchRow{"a*c", "abc", true},
                             MatchRow{"a*c", "abcd", false},
                             MatchRow{"docprops/*", "docProps/core.xml", true},
                             MatchRow{"*/core.xml", "docProps/core.xml", true},
                             MatchRow{"*/core.xml", "xcore.xml", false},
                             MatchRow{"*.c", "a.b.c", true},
                             MatchRow{"*ab", "abab", true},
                             MatchRow{"abc", "ab", false},
                             MatchRow{"ab", "abc", false}));

TEST(IsWildcard, FindsEveryWildcardCharacter)
{
    for (const char* text : {"*.xml", "a?", "<a>", "x>", "|x"}) {
        EXPECT_TRUE(archive::IsWildcard(text)) << text;
    }
    for (const char* text : {"", "[Content_Types].xml", "C:/Temp/deck.pptx", "a-b"}) {
        EXPECT_FALSE(archive::IsWildcard(text)) << text;
    }
}

} // namespace
