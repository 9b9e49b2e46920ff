#pragma once

#include <string>
#include <string_view>

// A message about one package says its path once, at the front: "PATH: what went wrong". The
// layers below name the file in their own texts, so the record keeps its message without them.
namespace engine {

// message without the mentions of path in it (with the ": " or blank that joined each one). The
// absolute and the link-resolved name of the same file count as mentions too; a name that is only
// the end of a longer path is left alone.
[[nodiscard]] std::string WithoutPath(std::string_view message, std::string_view path);

// "PATH: message", with no further mention of path.
[[nodiscard]] std::string PathMessage(std::string_view path, std::string_view message);

} // namespace engine
