#include "app/NaturalSortKey.h"

#include <algorithm>

namespace app {

namespace {

// Below every character a text holds, so that a number sorts before letters and punctuation.
constexpr char16_t kNumberMark = 0x0001;

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString NaturalSortKey(std::string_view utf8)
{
    const QString folded = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toCaseFolded();
    QString key;
    key.reserve(folded.size() + 8);
    for (qsizetype i = 0; i < folded.size();) {
        if (!IsAsciiDigit(folded[i])) {
            key.append(folded[i++]);
            continue;
        }
        qsizetype end = i;
        while (end < folded.size() && IsAsciiDigit(folded[end])) {
            ++end;
        }
        qsizetype first = i;
        while (first + 1 < end && folded[first] == QLatin1Char('0')) {
            ++first;
        }
        // The mark, then the count of digits (a longer number is a larger one), then the digits.
        const qsizetype digits = end - first;
        key.append(QChar(kNumberMark));
        key.append(QChar(static_cast<char16_t>(0x20 + std::min<qsizetype>(digits, 0xD000))));
        key.append(QStringView(folded).mid(first, digits));
        i = end;
    }
    return key;
}

} // namespace app
