#include "editing/PropertyDateEdit.h"

#include "engine/record/DateConvert.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace editing {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

bool IsClearKey(const QKeyEvent& event)
{
    return (event.key() == Qt::Key_Delete || event.key() == Qt::Key_Backspace) &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsCalendarKey(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
           (event.key() == Qt::Key_Down && modifiers == Qt::AltModifier);
}

} // namespace

PropertyDateEdit::PropertyDateEdit(QWidget* parent)
    : QDateTimeEdit(parent)
{
    // The value is the wall-clock text itself: no zone, so no daylight-saving shift inside the box.
    setTimeSpec(Qt::UTC);
    setDisplayFormat(kDateFormat);
    setCalendarPopup(true);
    setFrame(false);
    // The lowest value stands for "no date" and shows blank. Its time of day is now, so a date
    // picked in an empty cell carries the current time.
    const QTime now = QTime::currentTime();
    setMinimumDateTime(QDateTime(QDate(100, 1, 1), QTime(now.hour(), now.minute(), now.second()), Qt::UTC));
    setSpecialValueText(QStringLiteral(" "));
    calendarWidget()->installEventFilter(this);
}

void PropertyDateEdit::openWith(const QString& text)
{
    m_openedText = text;
    m_cleared = false;
    m_typing.reset();
    // An instant of the hour the clocks show twice comes as its local time with its offset.
    const std::string local =
        engine::ShownDateToRecordText(text.toStdString()) ? text.left(19).toStdString() : text.toStdString();
    const auto parsed = engine::ParseLocalText(local);
    const QDateTime value = parsed ? QDateTime(QDate(parsed->Year, parsed->Month, parsed->Day),
                                               QTime(parsed->Hour, parsed->Minute, parsed->Second), Qt::UTC)
                                   : QDateTime();
    setDateTime(value.isValid() && value > minimumDateTime() ? value : minimumDateTime());
    m_opened = dateTime();
}

void PropertyDateEdit::revertToOpened()
{
    m_cleared = false;
    m_typing.reset();
    setDateTime(m_opened);
    lineEdit()->selectAll();
}

QString PropertyDateEdit::currentText() const
{
    if (!isChangedSinceOpen()) {
        return m_openedText;
    }
    return isBlank() ? QString() : dateTime().toString(kDateFormat);
}

bool PropertyDateEdit::isChangedSinceOpen() const
{
    // A blank box is a change only when the user cleared a cell that held some text.
    if (isBlank()) {
        return m_cleared && !m_openedText.isEmpty();
    }
    return dateTime() != m_opened;
}

void PropertyDateEdit::clearValue()
{
    m_typing.reset();
    setDateTime(minimumDateTime());
    m_cleared = true;
}

void PropertyDateEdit::openCalendar()
{
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QPointF arrow =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this).center();
    QMouseEvent press(QEvent::MouseButtonPress, arrow, mapToGlobal(arrow), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    mousePressEvent(&press);
}

bool PropertyDateEdit::isPopupOpen() const
{
    return calendarWidget()->isVisible();
}

bool PropertyDateEdit::eventFilter(QObject* watched, QEvent* event)
{
    // Turning the page only: selecting a day would already set the value.
    if (watched == calendarWidget() && event->type() == QEvent::Show && isBlank()) {
        const QDate today = QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QDateTimeEdit::eventFilter(watched, event);
}

bool PropertyDateEdit::typeKey(const QKeyEvent& event)
{
    const QString key = event.text();
    if (key.size() != 1 ||
        (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != Qt::NoModifier) {
        return false;
    }
    if (!m_typing || lineEdit()->cursorPosition() != m_typingCursor) {
        const bool fromStart = isBlank() || lineEdit()->selectedText() == lineEdit()->text();
        m_typing.emplace(dateTime().toString(kDateFormat), fromStart ? 0 : lineEdit()->cursorPosition());
    }
    if (!m_typing->type(key[0])) {
        return false;
    }
    // A form that is no date yet (a 31st while the month is still being typed) waits for the next key.
    for (const QString& text : {m_typing->text(), m_typing->closedText()}) {
        const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
        if (date.isValid() && time.isValid() && QDateTime(date, time, Qt::UTC) > minimumDateTime()) {
            setDateTime(QDateTime(date, time, Qt::UTC));
            break;
        }
    }
    lineEdit()->setCursorPosition(m_typing->position());
    m_typingCursor = lineEdit()->cursorPosition();
    return true;
}

void PropertyDateEdit::keyPressEvent(QKeyEvent* event)
{
    if (IsClearKey(*event) && (isBlank() || lineEdit()->selectedText() == lineEdit()->text())) {
        clearValue();
        event->accept();
        return;
    }
    if (IsCalendarKey(*event)) {
        openCalendar();
        event->accept();
        return;
    }
    if (typeKey(*event)) {
        event->accept();
        return;
    }
    m_typing.reset();
    QDateTimeEdit::keyPressEvent(event);
    if (IsClearKey(*event) && lineEdit()->text().trimmed().isEmpty()) {
        clearValue();
    }
    KeepNavigationKey(*event);
}

} // namespace editing
