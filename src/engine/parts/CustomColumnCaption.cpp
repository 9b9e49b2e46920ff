#include "engine/parts/CustomColumnCaption.h"

namespace engine {

std::string CustomColumnCaption(std::string_view name)
{
    return std::string(kCustomCaptionPrefix) + std::string(name);
}

std::optional<std::string> CustomNameOfCaption(std::string_view caption)
{
    if (caption.size() <= kCustomCaptionPrefix.size() ||
        caption.substr(0, kCustomCaptionPrefix.size()) != kCustomCaptionPrefix) {
        return std::nullopt;
    }
    return std::string(caption.substr(kCustomCaptionPrefix.size()));
}

} // namespace engine
