#pragma once

#include "editing/DateTyping.h"
#include "editing/PropertyEditorWidget.h"

#include <QDateTime>
#include <QDateTimeEdit>

#include <optional>

namespace editing {

// The date editor: "yyyy-MM-dd HH:mm:ss" with a drop-down calendar, giving back the 19-character
// local form. A cell that holds no date (empty, or text in another form) shows blank and keeps its
// text until the user picks or types a value; its calendar then opens on today. Digits and
// separators typed in a row go over the form as DateTyping says, from the field of the cursor (from
// the start when the box is blank or all selected). Delete or Backspace on the whole text (all
// selected, or the box blank or emptied by it) clears the date: the editor then gives back an empty
// text, which removes the property. Alt+Down and F4 open the calendar. Every other key works as in
// any date box.
class PropertyDateEdit : public QDateTimeEdit, public PropertyEditorWidget
{
    Q_OBJECT

public:
    explicit PropertyDateEdit(QWidget* parent);

    void openWith(const QString& text) override;
    void revertToOpened() override;
    [[nodiscard]] QString currentText() const override;
    [[nodiscard]] bool isChangedSinceOpen() const override;
    [[nodiscard]] bool isPopupOpen() const override;

    [[nodiscard]] bool isBlank() const { return dateTime() == minimumDateTime(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was typed over the form.
    bool typeKey(const QKeyEvent& event);
    void clearValue();
    // As a click on the drop-down arrow does it, so the calendar opens on the box's date.
    void openCalendar();

    QString m_openedText;
    QDateTime m_opened;
    bool m_cleared = false; // the user cleared the box since it opened
    std::optional<DateTyping> m_typing;
    int m_typingCursor = -1; // where the last typed key left the cursor; a move elsewhere starts anew
};

} // namespace editing
