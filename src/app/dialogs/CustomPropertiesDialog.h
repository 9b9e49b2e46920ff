#pragma once

#include "engine/record/CustomProperties.h"
#include "engine/record/DocumentList.h"

#include <QDialog>

#include <cstddef>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace app {

// "Custom Properties": name, type and value of the custom properties of some rows' packages, every
// name any of them has. A value is shown only where all of those packages hold it alike; otherwise
// the cell is empty and marked "(differs)", and left empty it changes nothing for that name.
// Adding, changing and removing are collected as changes for all of the packages; types the
// program does not edit are shown read-only with their type and can only be removed. The dialog
// says which packages it changes, and a button switches it to the checked rows.
class CustomPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    // Shows rows (grid row numbers of documents); checkedRows are offered by the button.
    CustomPropertiesDialog(const engine::DocumentList& documents,
                           std::vector<std::size_t> rows,
                           std::vector<std::size_t> checkedRows,
                           QWidget* parent = nullptr);

    // The rows the changes are for.
    [[nodiscard]] const std::vector<std::size_t>& rows() const { return m_rows; }

    // What the user changed: removals first, then the properties to set.
    [[nodiscard]] std::vector<engine::CustomChange> changes() const;

    // Appends an empty editable row (the Add button).
    void addRow();
    // Removes the rows of the selected cells (the Remove button).
    void removeSelectedRows();
    // Shows the checked rows instead (their button). Changes made so far were made against what the
    // shown packages hold, so they are not carried over: the user is asked whether to drop them.
    void useCheckedRows();

public slots:
    // Closes only when every name and value can be stored; otherwise says why and stays open.
    void accept() override;

private:
    void showRows(std::vector<std::size_t> rows);
    void appendRow(const engine::CustomProperty& property, bool isNew, bool differs, bool readOnly);
    [[nodiscard]] engine::CustomKind kindAt(int row) const;
    [[nodiscard]] bool isChange(int row) const;
    [[nodiscard]] QString checkRows() const;

    const engine::DocumentList& m_documents;
    std::vector<std::size_t> m_rows;
    std::vector<std::size_t> m_checkedRows;
    QLabel* m_scope = nullptr;
    QPushButton* m_useChecked = nullptr;
    QTableWidget* m_table = nullptr;
    std::vector<std::string> m_removed;
};

} // namespace app
