#include "archive/WildcardMatch.h"

#include <cstdint>
#include <string>
#include <vector>

namespace archive {
namespace {

// Only Valid is a match; the other outcomes tell the star search whether trying later text positions
// can still help.
enum class Outcome
{
    Valid,
    PatternEndedEarly,
    Abort,
    RangeFailed,
    LiteralFailed,
    BadPattern,
};

std::string LowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return out;
}

// Tests c against the class starting at p[pi] == '<' and moves pi past its '>'.
Outcome MatchClass(std::string_view p, std::size_t& pi, char c)
{
    ++pi;
    bool negated = false;
    if (pi < p.size() && (p[pi] == '^' || p[pi] == '!')) {
        negated = true;
        ++pi;
    }
    bool member = false;
    while (pi < p.size() && p[pi] != '>') {
        if (pi + 2 < p.size() && p[pi + 1] == '-' && p[pi + 2] != '>') {
            const auto low = static_cast<unsigned char>(p[pi]);
            const auto high = static_cast<unsigned char>(p[pi + 2]);
            const auto uc = static_cast<unsigned char>(c);
            member = member || (uc >= low && uc <= high);
            pi += 3;
        } else {
            member = member || p[pi] == c;
            ++pi;
        }
    }
    if (pi >= p.size()) {
        return Outcome::BadPattern;
    }
    ++pi;
    return member != negated ? Outcome::Valid : Outcome::RangeFailed;
}

// Star searches already tried, by pattern and text position. Several stars can retry the same pair
// of suffixes exponentially often ("*a*a*a*b" against a run of a's); each pair is decided once.
class StarMemo
{
public:
    StarMemo(std::string_view p, std::string_view t)
        : m_p(p)
        , m_t(t)
        , m_columns(t.size() + 1)
        , m_seen(p.size() * m_columns, std::int8_t{-1})
    {}

    std::int8_t& At(std::string_view p, std::string_view t)
    {
        const auto pi = static_cast<std::size_t>(p.data() - m_p.data());
        const auto ti = static_cast<std::size_t>(t.data() - m_t.data());
        return m_seen[pi * m_columns + ti];
    }

private:
    std::string_view m_p;
    std::string_view m_t;
    std::size_t m_columns;
    std::vector<std::int8_t> m_seen;
};

Outcome Match(std::string_view p, std::string_view t, StarMemo& memo);
Outcome SearchStar(std::string_view p, std::string_view t, StarMemo& memo);

// p[0] is '*': any run of text, including none.
Outcome MatchStar(std::string_view p, std::string_view t, StarMemo& memo)
{
    std::int8_t& known = memo.At(p, t);
    if (known < 0) {
        known = static_cast<std::int8_t>(SearchStar(p, t, memo));
    }
    return static_cast<Outcome>(known);
}

Outcome SearchStar(std::string_view p, std::string_view t, StarMemo& memo)
{
    std::size_t pi = 0;
    std::size_t ti = 0;
    while (pi < p.size() && (p[pi] == '*' || p[pi] == '?')) {
        if (p[pi] == '?') {
            if (ti == t.size()) {
                return Outcome::Abort;
            }
            ++ti;
        }
        ++pi;
    }
    if (pi == p.size()) {
        return Outcome::Valid;
    }
    if (ti == t.size()) {
        return Outcome::Abort;
    }
    const std::string_view rest = p.substr(pi);
    for (std::size_t i = ti; i < t.size(); ++i) {
        if (rest[0] != '<' && rest[0] != t[i]) {
            continue;
        }
        const Outcome r = Match(rest, t.substr(i), memo);
        if (r == Outcome::Valid || r == Outcome::BadPattern) {
            return r;
        }
    }
    return Outcome::Abort;
}

Outcome Match(std::string_view p, std::string_view t, StarMemo& memo)
{
    std::size_t pi = 0;
    std::size_t ti = 0;
    while (true) {
        if (pi == p.size()) {
            return ti == t.size() ? Outcome::Valid : Outcome::PatternEndedEarly;
        }
        if (ti == t.size()) {
            return p.substr(pi) == "*" ? Outcome::Valid : Outcome::Abort;
        }
        switch (p[pi]) {
        case '*':
            return MatchStar(p.substr(pi), t.substr(ti), memo);
        case '?':
            ++pi;
            ++ti;
            break;
        case '<': {
            const Outcome r = MatchClass(p, pi, t[ti]);
            if (r != Outcome::Valid) {
                return r;
            }
            ++ti;
            break;
        }
        default:
            if (p[pi] != t[ti]) {
                return Outcome::LiteralFailed;
            }
            ++pi;
            ++ti;
            break;
        }
    }
}

} // namespace

bool IsWildcard(std::string_view text)
{
    return text.find_first_of("*?<>|") != std::string_view::npos;
}

bool WildcardMatch(std::string_view pattern, std::string_view text)
{
    const std::string p = LowerAscii(pattern);
    if (p == "*") {
        return true;
    }
    const std::string t = LowerAscii(text);
    StarMemo memo(p, t);
    return Match(p, t, memo) == Outcome::Valid;
}

} // namespace archive
