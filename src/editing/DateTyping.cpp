#include "editing/DateTyping.h"

namespace editing {

DateTyping::DateTyping(QString text, int position)
    : m_text(std::move(text))
    , m_position(std::clamp(position, 0, static_cast<int>(m_text.size())))
{
    while (m_position > 0 && m_text[m_position - 1].isDigit()) {
        --m_position;
    }
    m_fieldStart = m_position;
}

bool DateTyping::type(QChar key)
{
    if (key.isDigit()) {
        while (m_position < m_text.size() && !m_text[m_position].isDigit()) {
            ++m_position;
            m_fieldStart = m_position;
        }
        if (m_position < m_text.size()) {
            m_text[m_position++] = key;
        }
        return true;
    }
    if (key.isLetterOrNumber() || !m_text.contains(key)) {
        return false;
    }
    endField();
    return true;
}

QString DateTyping::closedText() const
{
    DateTyping closed = *this;
    closed.endField();
    return closed.m_text;
}

void DateTyping::endField()
{
    int fieldEnd = m_fieldStart;
    while (fieldEnd < m_text.size() && m_text[fieldEnd].isDigit()) {
        ++fieldEnd;
    }
    const int typed = m_position - m_fieldStart;
    if (typed > 0 && m_position < fieldEnd) {
        // Fewer digits than the field holds: they are its last ones, zeros before them.
        const QString digits = m_text.mid(m_fieldStart, typed);
        const int width = fieldEnd - m_fieldStart;
        m_text.replace(m_fieldStart, width, digits.rightJustified(width, QLatin1Char('0')));
    }
    // Past the field and the separator after it; a field not yet typed is passed over as it is.
    m_position = fieldEnd < m_text.size() ? fieldEnd + 1 : fieldEnd;
    m_fieldStart = m_position;
}

} // namespace editing
