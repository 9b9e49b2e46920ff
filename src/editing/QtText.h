#pragma once

#include <QString>

#include <string_view>

namespace editing {

// UTF-8 text of the engine (names, captions, values) as a Qt string.
[[nodiscard]] inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace editing
