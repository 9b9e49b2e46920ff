#pragma once

#include "engine/record/DocumentRecord.h"

#include <QDialog>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace app {

class PendingChangesModel;

// Chooses a property, a pattern and an optional file-name expression, and previews each value
// they would change (file, property, the value shown now and the new one); rows the pattern cannot
// fill are listed with the reason and left as they are.
class FillPatternDialog : public QDialog
{
    Q_OBJECT

public:
    // records are the rows to fill (the checked ones), in grid order.
    explicit FillPatternDialog(std::vector<const engine::DocumentRecord*> records, QWidget* parent = nullptr);

    [[nodiscard]] std::size_t property() const;

    // Per position in the given records, the value it gets; rows left as they are are missing.
    [[nodiscard]] const std::vector<std::pair<std::size_t, std::string>>& plannedValues() const
    {
        return m_planned;
    }

private:
    void refresh();
    // Evaluates the pattern for every row; the reason when it cannot be used at all.
    QString evaluate();

    std::vector<const engine::DocumentRecord*> m_records;
    // One time for the preview and the apply, so that {now} gives what was shown.
    std::string m_now;
    std::vector<std::pair<std::size_t, std::string>> m_planned;
    std::vector<std::string> m_rowProblems; // per record; empty where it gets a value
    QComboBox* m_property = nullptr;
    QLineEdit* m_pattern = nullptr;
    QLineEdit* m_match = nullptr;
    QLabel* m_counts = nullptr;
    PendingChangesModel* m_changes = nullptr;
    QListWidget* m_problems = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_apply = nullptr;
};

} // namespace app
