#include "archive/WildcardMatch.h"

#include <gtest/gtest.h>

namespace {

struct MatchRow
{
    const char* Text;
    const char* Pattern;
    bool Matches;
};

class WildcardMatchTable : public ::testing::TestWithParam<MatchRow>
{
};

TEST_P(WildcardMatchTable, Matches)
{
    const MatchRow& row = GetParam();
    EXPECT_EQ(archive::WildcardMatch(row.Text, row.Pattern), row.Matches)
        << "text '" << row.Text << "' pattern '" << row.Pattern << "'";
}

INSTANTIATE_TEST_SUITE_P(Patterns,
                         WildcardMatchTable,
                         ::testing::Values(
                             // "*.*" needs a dot somewhere, "*" takes everything.
                             MatchRow{"mimetype", "*.*", false},
                             MatchRow{"a.b/", "*.*", true},
                             MatchRow{"ppt/", "*.*", false},
                             MatchRow{"", "*", true},
                             MatchRow{"", "*.*", false},
                             MatchRow{"_rels/.rels", "*.*", true},
                             MatchRow{"ppt/slides/slide1.xml", "*.*", true},
                             MatchRow{"README.", "*.*", true},
                             MatchRow{"a.", "*.*", true},
                             MatchRow{"mimetype", "*", true},
                             // Letter case never matters; brackets are ordinary characters.
                             MatchRow{"ppt/slides/slide1.xml", "*.XML", true},
                             MatchRow{"[Content_Types].xml", "[content_types].xml", true},
                             MatchRow{"[Content_Types].xml", "[*].xml", true},
                             MatchRow{"Content_Types.xml", "[content_types].xml", false},
                             // ? is exactly one character.
                             MatchRow{"slide1.xml", "slide?.xml", true},
                             MatchRow{"slide10.xml", "slide?.xml", false},
                             MatchRow{"slide.xml", "slide?.xml", false},
                             // Classes, ranges and negation.
                             MatchRow{"slide7.xml", "slide<0-9>.xml", true},
                             MatchRow{"slidex.xml", "slide<0-9>.xml", false},
                             MatchRow{"slidex.xml", "slide<!0-9>.xml", true},
                             MatchRow{"slidex.xml", "slide<^0-9>.xml", true},
                             MatchRow{"slideb.xml", "slide<abc>.xml", true},
                             MatchRow{"slide1.xml", "slide<0-9.xml", false},
                             MatchRow{"ab12.x", "*<0-9>2.x", true},
                             // Stars anchor nothing but must leave the literal tail to match.
                             MatchRow{"a", "a*", true},
                             MatchRow{"abc", "a*c", true},
                             MatchRow{"abcd", "a*c", false},
                             MatchRow{"docProps/core.xml", "docprops/*", true},
                             MatchRow{"docProps/core.xml", "*/core.xml", true},
                             MatchRow{"xcore.xml", "*/core.xml", false},
                             MatchRow{"a.b.c", "*.c", true},
                             MatchRow{"abab", "*ab", true},
                             MatchRow{"ab", "abc", false},
                             MatchRow{"abc", "ab", false}));

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
