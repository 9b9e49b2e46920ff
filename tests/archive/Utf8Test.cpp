#include "archive/Utf8.h"

#include <gtest/gtest.h>

namespace {

struct Utf8Row
{
    std::string Input;
    std::size_t FirstInvalid; // npos for valid text
    std::string Repaired;     // each invalid byte shown as "?"
    std::size_t CodePoints;
};

const std::size_t kValid = std::string_view::npos;

class Utf8Table : public testing::TestWithParam<Utf8Row>
{
};

TEST_P(Utf8Table, JudgesRepairsAndCounts)
{
    const Utf8Row& row = GetParam();
    EXPECT_EQ(archive::InvalidUtf8Offset(row.Input), row.FirstInvalid);
    EXPECT_EQ(archive::IsValidUtf8(row.Input), row.FirstInvalid == kValid);
    EXPECT_EQ(archive::RepairUtf8(row.Input, "?"), row.Repaired);
    EXPECT_EQ(archive::CountCodePoints(row.Input), row.CodePoints);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences,
    Utf8Table,
    testing::Values(
        Utf8Row{"", kValid, "", 0},
        Utf8Row{"plain", kValid, "plain", 5},
        // Two, three and four bytes, at the lowest and highest values of each length.
        Utf8Row{"Zo\xC3\xAB \xE6\x97\xA5 \xF0\x9F\x98\x80", kValid,
                "Zo\xC3\xAB \xE6\x97\xA5 \xF0\x9F\x98\x80", 7},
        Utf8Row{"\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", kValid,
                "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", 4},
        Utf8Row{"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", kValid, "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", 2},
        Utf8Row{"\xED\x9F\xBF\xEE\x80\x80", kValid, "\xED\x9F\xBF\xEE\x80\x80", 2}, // around the surrogates
        // Latin-1 and stray continuation bytes.
        Utf8Row{"a\xE9z", 1, "a?z", 3},
        Utf8Row{"\x80x", 0, "?x", 2},
        // Overlong forms of '/', U+07FF and U+FFFF.
        Utf8Row{"\xC0\xAF", 0, "??", 2},
        Utf8Row{"\xC1\xBF", 0, "??", 2},
        Utf8Row{"\xE0\x9F\xBF", 0, "???", 3},
        Utf8Row{"\xF0\x8F\xBF\xBF", 0, "????", 4},
        // Surrogates, values past U+10FFFF, lead bytes no sequence may start with.
        Utf8Row{"ok\xED\xA0\x80", 2, "ok???", 5},
        Utf8Row{"\xED\xBF\xBF", 0, "???", 3},
        Utf8Row{"\xF4\x90\x80\x80", 0, "????", 4},
        Utf8Row{"\xF5\x80\x80\x80", 0, "????", 4},
        Utf8Row{"\xFF", 0, "?", 1},
        // Cut short, at the end or by the next character.
        Utf8Row{"end\xE6\x97", 3, "end??", 5},
        Utf8Row{"\xE6\x97x", 0, "??x", 3}));

} // namespace
