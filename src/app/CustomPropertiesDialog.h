#pragma once

#include "engine/custom/CustomProperties.h"
#include "engine/record/DocumentRecord.h"

#include <QDialog>

#include <vector>

class QTableWidget;

namespace app {

// "Custom Properties": name, type and value of the custom properties of the selected packages
// (every name any of them has; the value shown is that of the first package holding it). Adding,
// changing and removing are collected as changes for all of them; types the program does not edit
// are shown read-only with their type and can only be removed.
class CustomPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    CustomPropertiesDialog(const std::vector<const engine::DocumentRecord*>& records,
                           QWidget* parent = nullptr);

    // What the user changed: removals first, then the properties to set.
    [[nodiscard]] std::vector<engine::CustomChange> changes() const;

    // Appends an empty editable row (the Add button).
    void addRow();
    // Removes the rows of the selected cells (the Remove button).
    void removeSelectedRows();

public slots:
    // Closes only when every name and value can be stored; otherwise says why and stays open.
    void accept() override;

private:
    void appendRow(const engine::CustomProperty& property, bool isNew);
    [[nodiscard]] engine::CustomKind kindAt(int row) const;
    [[nodiscard]] QString checkRows() const;

    QTableWidget* m_table = nullptr;
    std::vector<std::string> m_removed;
};

} // namespace app
