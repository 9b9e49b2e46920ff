#include "engine/tables/FillPattern.h"

#include "engine/record/DateConvert.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

namespace engine {
namespace {

template <class... Ts> struct Overloaded : Ts...
{
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

FillPattern::FillPattern(const std::string& pattern)
    : m_text(pattern)
{
    std::string literal;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if ((c == '{' || c == '}') && i + 1 < pattern.size() && pattern[i + 1] == c) {
            literal += c;
            ++i;
            continue;
        }
        if (c == '}') {
            throw EBadPattern("a lone '}' in the pattern \"" + pattern + "\" (write }} for a brace)");
        }
        if (c != '{') {
            literal += c;
            continue;
        }
        const std::size_t close = pattern.find('}', i + 1);
        if (close == std::string::npos) {
            throw EBadPattern("an unclosed '{' in the pattern \"" + pattern + "\" (write {{ for a brace)");
        }
        const std::string token = pattern.substr(i + 1, close - i - 1);
        if (!literal.empty()) {
            m_pieces.emplace_back(std::move(literal));
            literal.clear();
        }
        if (token == "name") {
            m_pieces.emplace_back(Token::Name);
        } else if (token == "stem") {
            m_pieces.emplace_back(Token::Stem);
        } else if (token == "folder") {
            m_pieces.emplace_back(Token::Folder);
        } else if (token == "path") {
            m_pieces.emplace_back(Token::Path);
        } else if (token == "now") {
            m_pieces.emplace_back(Token::Now);
        } else if (token.size() == 1 && token[0] >= '1' && token[0] <= '9') {
            m_pieces.emplace_back(Group{token[0] - '0'});
            m_highestGroup = std::max(m_highestGroup, token[0] - '0');
        } else {
            std::optional<std::size_t> property;
            for (std::size_t p = 0; p < kPropertyCount && !property; ++p) {
                if (DisplayName(p) == token) {
                    property = p;
                }
            }
            if (!property) {
                throw EBadPattern("unknown token {" + token + "} in the pattern \"" + pattern + "\"");
            }
            m_pieces.emplace_back(Property{*property});
        }
        i = close;
    }
    if (!literal.empty()) {
        m_pieces.emplace_back(std::move(literal));
    }
}

void FillPattern::RequireGroups(std::size_t groupCount) const
{
    for (const Piece& piece : m_pieces) {
        const Group* group = std::get_if<Group>(&piece);
        if (group != nullptr && static_cast<std::size_t>(group->Number) > groupCount) {
            throw EBadPattern("the pattern \"" + m_text + "\" uses {" + std::to_string(group->Number) +
                              "}, but the expression has " +
                              (groupCount == 0   ? std::string("no groups")
                               : groupCount == 1 ? std::string("only group {1}")
                                                 : "only groups {1}..{" + std::to_string(groupCount) + "}"));
        }
    }
}

std::string
FillPattern::Evaluate(const DocumentRecord& before, const std::smatch* groups, const std::string& now) const
{
    const std::filesystem::path path(before.FullPath);
    std::string out;
    for (const Piece& piece : m_pieces) {
        std::visit(Overloaded{
                       [&](const std::string& text) { out += text; },
                       [&](Token token) {
                           switch (token) {
                           case Token::Name:
                               out += before.FileName.empty() ? path.filename().string() : before.FileName;
                               break;
                           case Token::Stem:
                               out += std::filesystem::path(before.FileName.empty() ? path.filename().string()
                                                                                    : before.FileName)
                                          .stem()
                                          .string();
                               break;
                           case Token::Folder:
                               out += std::filesystem::absolute(path)
                                          .lexically_normal()
                                          .parent_path()
                                          .filename()
                                          .string();
                               break;
                           case Token::Path:
                               out += before.FullPath;
                               break;
                           case Token::Now:
                               out += now;
                               break;
                           }
                       },
                       [&](Property property) { out += before.Value(property.Index); },
                       [&](Group group) {
                           if (groups != nullptr && static_cast<std::size_t>(group.Number) < groups->size()) {
                               out += (*groups)[static_cast<std::size_t>(group.Number)].str();
                           }
                       },
                   },
                   piece);
    }
    return out;
}

std::string NowLocalText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DateTime value;
    value.Year = local.tm_year + 1900;
    value.Month = local.tm_mon + 1;
    value.Day = local.tm_mday;
    value.Hour = local.tm_hour;
    value.Minute = local.tm_min;
    value.Second = local.tm_sec;
    return FormatLocalText(value);
}

} // namespace engine
