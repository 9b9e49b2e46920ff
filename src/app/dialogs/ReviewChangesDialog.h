#pragma once

#include "app/dialogs/PendingChangesModel.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QTableView;

namespace app {

// Lists pending changes for a look before they are written: one row per change, grouped by file,
// filterable by property. Unchecking a row marks the change to be taken back; Save accepts the
// dialog, Close rejects it, and either way the caller takes back what was unchecked.
class ReviewChangesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ReviewChangesDialog(std::vector<ReviewEntry> entries, QWidget* parent = nullptr);

    [[nodiscard]] PendingChangesModel& changes() const { return *m_model; }

private:
    PendingChangesModel* m_model;
    QComboBox* m_filter;
    QTableView* m_view;
};

} // namespace app
