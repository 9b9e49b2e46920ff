#pragma once

#include <QString>

class QBoxLayout;
class QDialog;
class QLabel;
class QPushButton;

namespace app {

// The foot of a dialog that previews a change before it is staged: a wrapped line saying why the
// change cannot be applied (or what it leaves out), then Apply ("btnApply") and Cancel.
struct PreviewFooter
{
    QLabel* Message = nullptr;
    QPushButton* Apply = nullptr;
};

PreviewFooter AddPreviewFooter(QDialog& dialog, QBoxLayout& layout, const QString& messageName);

} // namespace app
