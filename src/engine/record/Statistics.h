#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The statistics a package's extended-properties part carries beside the editable properties: what
// wrote it and how much the presentation holds. They are shown, never edited or written.
namespace engine {

enum class Statistic
{
    Application,
    AppVersion,
    PresentationFormat,
    Slides,
    Notes,
    HiddenSlides,
    Words,
    Paragraphs,
    MMClips,
    HyperlinkBase,
};

inline constexpr std::size_t kStatisticCount = 10;

// In enum order; each is also the local name of the statistic's element in the app part.
inline constexpr std::array<std::string_view, kStatisticCount> StatisticNames = {
    "Application",  "AppVersion", "PresentationFormat", "Slides",  "Notes",
    "HiddenSlides", "Words",      "Paragraphs",         "MMClips", "HyperlinkBase",
};

[[nodiscard]] constexpr std::size_t StatisticIndex(Statistic s)
{
    return static_cast<std::size_t>(s);
}

[[nodiscard]] constexpr std::string_view StatisticName(Statistic s)
{
    return StatisticNames[StatisticIndex(s)];
}

// The statistic an element of the app part with this local name holds (exact, case-sensitive).
[[nodiscard]] constexpr std::optional<Statistic> StatisticOfElementName(std::string_view localName)
{
    for (std::size_t i = 0; i < kStatisticCount; ++i) {
        if (StatisticNames[i] == localName) {
            return static_cast<Statistic>(i);
        }
    }
    return std::nullopt;
}

// Tables caption a statistic "Statistic:NAME", so that a column of the user's own named like one
// ("Notes", "Words") is never taken for it.
inline constexpr std::string_view kStatisticCaptionPrefix = "Statistic:";

[[nodiscard]] inline std::string StatisticCaption(Statistic s)
{
    return std::string(kStatisticCaptionPrefix) + std::string(StatisticName(s));
}

// The statistic a table column's caption names (exact, case-sensitive).
[[nodiscard]] constexpr std::optional<Statistic> StatisticOfCaption(std::string_view caption)
{
    if (caption.substr(0, kStatisticCaptionPrefix.size()) != kStatisticCaptionPrefix) {
        return std::nullopt;
    }
    return StatisticOfElementName(caption.substr(kStatisticCaptionPrefix.size()));
}

} // namespace engine
