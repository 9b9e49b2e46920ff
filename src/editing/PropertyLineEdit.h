#pragma once

#include "editing/PropertyEditorWidget.h"

#include <QLineEdit>

namespace editing {

// The single-line text box of a property cell, optionally digits only.
class PropertyLineEdit : public QLineEdit, public PropertyEditorWidget
{
    Q_OBJECT

public:
    PropertyLineEdit(bool digitsOnly, QWidget* parent);

    void openWith(const QString& text) override;
    void revertToOpened() override;
    [[nodiscard]] QString currentText() const override;
    [[nodiscard]] bool isChangedSinceOpen() const override;

    [[nodiscard]] bool isPopupOpen() const override { return false; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_opened;
    // What the box showed after opening: the digit filter may already have dropped characters of
    // a stored text, and that alone is no change.
    QString m_shown;
};

} // namespace editing
