#include "editing/PropertyDateEdit.h"

#include "engine/DateConvert.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QKeyEvent>

namespace editing {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

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
    const auto parsed = engine::ParseLocalText(text.toStdString());
    const QDateTime value = parsed ? QDateTime(QDate(parsed->Year, parsed->Month, parsed->Day),
                                               QTime(parsed->Hour, parsed->Minute, parsed->Second), Qt::UTC)
                                   : QDateTime();
    setDateTime(value.isValid() && value > minimumDateTime() ? value : minimumDateTime());
    m_opened = dateTime();
}

QString PropertyDateEdit::currentText() const
{
    return isChangedSinceOpen() ? dateTime().toString(kDateFormat) : m_openedText;
}

bool PropertyDateEdit::isChangedSinceOpen() const
{
    return dateTime() != m_opened;
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

void PropertyDateEdit::keyPressEvent(QKeyEvent* event)
{
    QDateTimeEdit::keyPressEvent(event);
    KeepNavigationKey(*event);
}

} // namespace editing
