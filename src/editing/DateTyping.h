#pragma once

#include <QString>

#include <algorithm>

namespace editing {

// Typing over a fixed date form such as "2009-03-05 14:07:09", one key at a time: a digit overwrites
// the next digit place (stepping over the separators), and a separator ends the field being typed,
// its digits taken as the field's last ones ("5-" gives "05-"), and moves to the next field. So
// "2020-05-06 07:08:09" typed over any date gives exactly that date, with or without separators.
class DateTyping
{
public:
    // Starts at the field that begins at or before position.
    DateTyping(QString text, int position);

    // False for a key that is neither a digit nor a separator of the form; nothing changes then.
    bool type(QChar key);

    [[nodiscard]] const QString& text() const { return m_text; }

    // The text as if the field being typed were ended now ("2020-5" gives "2020-05").
    [[nodiscard]] QString closedText() const;

    [[nodiscard]] int position() const { return m_position; }

private:
    void endField();

    QString m_text;
    int m_position = 0;
    int m_fieldStart = 0; // where the field being typed begins
};

} // namespace editing
