#include "editing/DigitsOnlyValidator.h"

namespace editing {

QValidator::State DigitsOnlyValidator::validate(QString& input, int& pos) const
{
    QString digits;
    digits.reserve(input.size());
    int cursor = pos;
    for (int i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits.append(c);
        } else if (i < pos) {
            --cursor;
        }
    }
    input = digits;
    pos = cursor;
    return Acceptable;
}

} // namespace editing
