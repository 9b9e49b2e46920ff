#pragma once

#include "editing/PropertyEditorWidget.h"

#include <QDateTime>
#include <QDateTimeEdit>

namespace editing {

// The date editor: "yyyy-MM-dd HH:mm:ss" with a drop-down calendar, giving back the 19-character
// local form. A cell that holds no date (empty, or text in another form) shows blank and keeps its
// text until the user picks or types a value; its calendar then opens on today.
class PropertyDateEdit : public QDateTimeEdit, public PropertyEditorWidget
{
    Q_OBJECT

public:
    explicit PropertyDateEdit(QWidget* parent);

    void openWith(const QString& text) override;
    [[nodiscard]] QString currentText() const override;
    [[nodiscard]] bool isChangedSinceOpen() const override;
    [[nodiscard]] bool isPopupOpen() const override;

    [[nodiscard]] bool isBlank() const { return dateTime() == minimumDateTime(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_openedText;
    QDateTime m_opened;
};

} // namespace editing
