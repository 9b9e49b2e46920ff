#pragma once

#include <QString>

class QBoxLayout;
class QDialog;
class QLabel;
class QListWidget;
class QPushButton;

namespace app {

class PendingChangesModel;

// The body of such a dialog: the counts ("lblCounts"), the list of the values it would change
// (File / Property / Old / New) and the list of its problems ("lstProblems").
struct PreviewBody
{
    QLabel* Counts = nullptr;
    PendingChangesModel* Changes = nullptr;
    QListWidget* Problems = nullptr;
};

PreviewBody AddPreviewBody(QDialog& dialog, QBoxLayout& layout);

// The foot of a dialog that previews a change before it is staged: a wrapped line saying why the
// change cannot be applied (or what it leaves out), then Apply ("btnApply") and Cancel.
struct PreviewFooter
{
    QLabel* Message = nullptr;
    QPushButton* Apply = nullptr;
};

PreviewFooter AddPreviewFooter(QDialog& dialog, QBoxLayout& layout, const QString& messageName);

} // namespace app
