#pragma once

#include <string_view>

// Name patterns: '*' any run, '?' any one character, '<...>' a character class ('^' or '!' negates,
// 'a-z' ranges). '[' and ']' are ordinary, so "[Content_Types].xml" matches itself. ASCII letter case
// never matters. "*" matches everything; "*.*" only texts holding a '.'.
namespace archive {

// True when the text holds any of * ? < > |.
bool IsWildcard(std::string_view text);

// True when pattern matches the whole of text.
bool WildcardMatch(std::string_view pattern, std::string_view text);

} // namespace archive
