#pragma once

#include <QPersistentModelIndex>
#include <QString>

#include <cstddef>

class QKeyEvent;
class QWidget;

namespace editing {

// What the delegates need from an in-place editor, whatever control it is: the text it gives back
// and whether the user changed it since it opened. A passing visit gives back the opened text as it
// was, so it never changes data.
class PropertyEditorWidget
{
public:
    virtual ~PropertyEditorWidget() = default;

    virtual void openWith(const QString& text) = 0;
    // Shows the text the editor opened with again, as if the user had changed nothing.
    virtual void revertToOpened() = 0;
    [[nodiscard]] virtual QString currentText() const = 0;
    [[nodiscard]] virtual bool isChangedSinceOpen() const = 0;
    // While a drop-down belongs to the editor, navigation keys and focus loss stay with it.
    [[nodiscard]] virtual bool isPopupOpen() const = 0;

    void setCell(const QModelIndex& index) { m_cell = index; }

    [[nodiscard]] const QPersistentModelIndex& cell() const { return m_cell; }

private:
    QPersistentModelIndex m_cell;
};

// The editor of catalogue property p: a date editor for the three dates, otherwise a text box
// (digits only for Revision and TotalEditTime(second)). The caller owns it through parent.
QWidget* CreatePropertyEditor(std::size_t p, QWidget* parent);

// Enter and the up and down arrows that reach an editor (with a modifier held, or past its
// calendar) end there and never move the grid's focus.
void KeepNavigationKey(QKeyEvent& event);

// The editor interface of a widget made by CreatePropertyEditor; nullptr for any other object.
PropertyEditorWidget* AsPropertyEditor(QObject* object);

} // namespace editing
