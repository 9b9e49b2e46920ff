#include "app/dialogs/ChangesView.h"

#include "app/dialogs/PendingChangesModel.h"

#include <QHeaderView>
#include <QTableView>

namespace app {

QTableView* MakeChangesView(PendingChangesModel& model, QWidget& parent)
{
    auto* view = new QTableView(&parent);
    view->setObjectName(QStringLiteral("tvChanges"));
    view->setModel(&model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setColumnWidth(PendingChangesModel::FileColumn, 200);
    view->setColumnWidth(PendingChangesModel::PropertyColumn, 150);
    view->setColumnWidth(PendingChangesModel::OldColumn, 250);
    return view;
}

} // namespace app
