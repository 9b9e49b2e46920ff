#pragma once

#include <QValidator>

namespace editing {

// Keeps only the digits of whatever reaches a text box, typed or pasted; everything else is
// dropped and the cursor stays after the digits it followed.
class DigitsOnlyValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;
};

} // namespace editing
