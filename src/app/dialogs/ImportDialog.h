#pragma once

#include "engine/record/DocumentRecord.h"
#include "engine/tables/ImportTable.h"
#include "engine/tables/PlanImport.h"

#include <QDialog>

#include <cstddef>
#include <filesystem>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace app {

class PendingChangesModel;

// The preview of a table import: how many of its rows name a package of the window, how many do
// not, each value it would change (file, property, the value shown now and the imported one),
// which cells cannot be used and why. Apply stays disabled while nothing can be imported, while
// the table cannot be read as it stands (an unknown column unless left out, a column twice, a row of
// another width, two rows for one package), or while some cell is invalid and "Skip invalid cells" is
// off, and the dialog says why.
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    // records are the window's rows in grid order; relative FullPath cells are taken from base.
    ImportDialog(engine::ImportTable table,
                 std::vector<const engine::DocumentRecord*> records,
                 std::filesystem::path base,
                 QWidget* parent = nullptr);

    // Per record index, the edits the table asks of it (only for packages that could be read, and
    // only the custom changes their property types can hold); none while Apply is disabled.
    [[nodiscard]] const std::vector<engine::PlannedRecord>& plannedRecords() const { return m_planned; }

private:
    // Reads the table again with the current options and shows the outcome.
    void refresh();

    engine::ImportTable m_table;
    std::vector<const engine::DocumentRecord*> m_records;
    std::filesystem::path m_base;
    std::vector<engine::PlannedRecord> m_planned;
    QLabel* m_counts = nullptr;
    PendingChangesModel* m_changes = nullptr;
    QListWidget* m_problems = nullptr;
    QCheckBox* m_emptyClears = nullptr;
    QCheckBox* m_skipInvalid = nullptr;
    QCheckBox* m_ignoreUnknown = nullptr;
    QLabel* m_blocked = nullptr;
    QPushButton* m_apply = nullptr;
};

} // namespace app
