#include "archive/Utf8.h"

namespace archive {

Utf8Step DecodeUtf8(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[pos + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    // The lead byte fixes the length and the range of the second byte; narrowing that range is
    // what refuses overlong forms, surrogates and values past U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    if (pos + length > text.size() || byte(1) < low || byte(1) > high) {
        return {};
    }
    char32_t codePoint = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) {
            return {};
        }
        codePoint = (codePoint << 6) | (byte(k) & 0x3F);
    }
    return {codePoint, length, true};
}

std::size_t InvalidUtf8Offset(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos; // the common case, without decoding
            continue;
        }
        const Utf8Step step = DecodeUtf8(text, pos);
        if (!step.Valid) {
            return pos;
        }
        pos += step.Length;
    }
    return std::string_view::npos;
}

std::string RepairUtf8(std::string_view text, std::string_view replacement)
{
    // Texts are almost always valid: the valid start is copied in one piece.
    const std::size_t invalid = InvalidUtf8Offset(text);
    if (invalid == std::string_view::npos) {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size());
    result.append(text.substr(0, invalid));
    for (std::size_t pos = invalid; pos < text.size();) {
        const Utf8Step step = DecodeUtf8(text, pos);
        result.append(step.Valid ? text.substr(pos, step.Length) : replacement);
        pos += step.Length;
    }
    return result;
}

std::size_t CountCodePoints(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += DecodeUtf8(text, pos).Length) {
        ++count;
    }
    return count;
}

void AppendUtf8(std::string& text, char32_t codePoint)
{
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (codePoint < 0x80) {
        text += byte(codePoint);
    } else if (codePoint < 0x800) {
        text += byte(0xC0 | codePoint >> 6);
        text += byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += byte(0xE0 | codePoint >> 12);
        text += byte(0x80 | (codePoint >> 6 & 0x3F));
        text += byte(0x80 | (codePoint & 0x3F));
    } else {
        text += byte(0xF0 | codePoint >> 18);
        text += byte(0x80 | (codePoint >> 12 & 0x3F));
        text += byte(0x80 | (codePoint >> 6 & 0x3F));
        text += byte(0x80 | (codePoint & 0x3F));
    }
}

} // namespace archive
