#include "engine/record/StorableText.h"

#include "archive/Utf8.h"

#include <algorithm>

namespace engine {

std::optional<std::string> StorableTextProblem(std::string_view what, std::string_view value)
{
    const auto control = std::find_if(value.begin(), value.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
    if (control != value.end()) {
        return std::string(what) + ": the text holds a control character that XML cannot store";
    }
    if (!archive::IsValidUtf8(value)) {
        return std::string(what) + ": the text is not valid UTF-8";
    }
    return std::nullopt;
}

} // namespace engine
