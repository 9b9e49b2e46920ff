#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// A fixed number of texts kept in one buffer. Every row of a grid of 100,000 keeps its property
// texts as loaded beside the edited ones; one string and an offset table cost a fifth of what
// seventeen strings do, and one allocation instead of one per long text.
template <std::size_t Count> class PackedTexts
{
public:
    [[nodiscard]] std::string_view operator[](std::size_t i) const
    {
        return std::string_view(m_text).substr(m_start[i], m_start[i + 1] - m_start[i]);
    }

    // Replaces every text with text(i) (called twice for each i).
    template <typename TextOf> void Assign(TextOf text)
    {
        std::size_t total = 0;
        for (std::size_t i = 0; i < Count; ++i) {
            total += std::string_view(text(i)).size();
        }
        // Built apart, so that text(i) may return views of the texts being replaced.
        std::string packed;
        packed.reserve(total);
        std::array<std::uint32_t, Count + 1> start{};
        for (std::size_t i = 0; i < Count; ++i) {
            start[i] = static_cast<std::uint32_t>(packed.size());
            packed += std::string_view(text(i));
        }
        start[Count] = static_cast<std::uint32_t>(packed.size());
        m_text = std::move(packed);
        m_start = start;
    }

    void Clear()
    {
        m_text.clear();
        m_start.fill(0);
    }

private:
    std::string m_text;
    // Text i is m_text[m_start[i], m_start[i + 1]); a part is far below 4 GiB, and so are its texts.
    std::array<std::uint32_t, Count + 1> m_start{};
};

} // namespace engine
