#include "editing/PropertyLineEdit.h"

#include "editing/DigitsOnlyValidator.h"

#include <QKeyEvent>

namespace editing {

PropertyLineEdit::PropertyLineEdit(bool digitsOnly, QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    if (digitsOnly) {
        setValidator(new DigitsOnlyValidator(this));
    }
}

void PropertyLineEdit::openWith(const QString& text)
{
    m_opened = text;
    setText(text);
    m_shown = this->text();
}

void PropertyLineEdit::revertToOpened()
{
    setText(m_shown);
    selectAll();
}

QString PropertyLineEdit::currentText() const
{
    return isChangedSinceOpen() ? text() : m_opened;
}

bool PropertyLineEdit::isChangedSinceOpen() const
{
    return text() != m_shown;
}

void PropertyLineEdit::keyPressEvent(QKeyEvent* event)
{
    QLineEdit::keyPressEvent(event);
    KeepNavigationKey(*event);
}

} // namespace editing
