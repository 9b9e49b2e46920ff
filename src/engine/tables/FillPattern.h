#pragma once

#include "engine/record/DocumentRecord.h"

#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// A pattern that computes a property value per package: literal text and tokens
//   {name} file name, {stem} file name without extension, {folder} the parent folder's name,
//   {path} the full path, {NAME} another property's value (display name, case-sensitive),
//   {now} the current local time in the date form, {1}..{9} groups of the file-name expression,
//   {{ and }} literal braces.
namespace engine {

// A pattern that cannot be read; the message names the token.
class EBadPattern : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

class FillPattern
{
public:
    // Throws EBadPattern for an unknown token, an unclosed '{' or a lone '}'.
    explicit FillPattern(const std::string& pattern);

    // Whether the pattern uses {1}..{9}.
    [[nodiscard]] bool UsesGroups() const { return m_highestGroup > 0; }

    // Throws EBadPattern naming the first group the pattern uses that an expression with groupCount
    // groups (std::regex::mark_count) lacks; such a group would give every package an empty text.
    void RequireGroups(std::size_t groupCount) const;

    // The value for a package. `before` holds the property values as they were before this
    // command changed anything; `groups` the matches of the file-name expression, if one was given.
    [[nodiscard]] std::string
    Evaluate(const DocumentRecord& before, const std::smatch* groups, const std::string& now) const;

private:
    enum class Token
    {
        Name,
        Stem,
        Folder,
        Path,
        Now,
    };

    struct Property
    {
        std::size_t Index;
    };

    struct Group
    {
        int Number;
    };

    using Piece = std::variant<std::string, Token, Property, Group>;

    std::string m_text;
    std::vector<Piece> m_pieces;
    int m_highestGroup = 0;
};

// The current local time in the date form "YYYY-MM-DD hh:mm:ss".
[[nodiscard]] std::string NowLocalText();

} // namespace engine
