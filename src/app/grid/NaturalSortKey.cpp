#include "app/grid/NaturalSortKey.h"

#include <QString>

#include <algorithm>

namespace app {

namespace {

// Below every byte of a text but NUL, so that a number sorts before letters and punctuation.
constexpr char kNumberMark = '\x01';

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The key of folded UTF-8 text (lower-cased, or case-folded where not ASCII). UTF-8 bytes compare
// in the order of their code points, and no byte of a multi-byte character is an ASCII digit.
std::string KeyOfFolded(std::string_view text)
{
    std::string key;
    key.reserve(text.size() + 4);
    for (std::size_t i = 0; i < text.size();) {
        if (!IsAsciiDigit(text[i])) {
            key += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && IsAsciiDigit(text[end])) {
            ++end;
        }
        std::size_t first = i;
        while (first + 1 < end && text[first] == '0') {
            ++first;
        }
        // The mark, then the count of digits in two bytes (a longer number is a larger one), then
        // the digits.
        const std::size_t digits = std::min<std::size_t>(end - first, 0xFFFF);
        key += kNumberMark;
        key += static_cast<char>(digits >> 8);
        key += static_cast<char>(digits & 0xFF);
        key.append(text.substr(first, end - first));
        i = end;
    }
    return key;
}

} // namespace

std::string NaturalSortKey(std::string_view utf8)
{
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        // Plain ASCII, the common case: folding is lower-casing.
        std::string lowered(utf8);
        std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerAscii);
        return KeyOfFolded(lowered);
    }
    const QByteArray folded =
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toCaseFolded().toUtf8();
    return KeyOfFolded(std::string_view(folded.constData(), static_cast<std::size_t>(folded.size())));
}

} // namespace app
