#include "editing/PropertyEditorWidget.h"

#include "editing/PropertyDateEdit.h"
#include "editing/PropertyLineEdit.h"
#include "engine/record/DocumentRecord.h"
#include "engine/record/PropertyValueRule.h"

#include <QKeyEvent>

namespace editing {

QWidget* CreatePropertyEditor(std::size_t p, QWidget* parent)
{
    if (engine::IsDateProperty(p)) {
        return new PropertyDateEdit(parent);
    }
    return new PropertyLineEdit(engine::IsDigitsOnlyProperty(p), parent);
}

void KeepNavigationKey(QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
        event.accept();
        break;
    default:
        break;
    }
}

PropertyEditorWidget* AsPropertyEditor(QObject* object)
{
    return dynamic_cast<PropertyEditorWidget*>(object);
}

} // namespace editing
