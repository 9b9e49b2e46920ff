#pragma once

#include "engine/DocumentRecord.h"

#include <QDialog>
#include <QUndoCommand>

#include <cstddef>
#include <vector>

class QCheckBox;

namespace app {

class DocumentTableModel;

// Asks which of the six properties that name people or their folders to clear: Creator,
// LastModifiedBy, Company, Manager, LastPrinted and Template, all checked at first.
class RemovePersonalInfoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RemovePersonalInfoDialog(QWidget* parent = nullptr);

    // The catalogue indexes of the checked properties.
    [[nodiscard]] std::vector<std::size_t> chosenProperties() const;

    static const std::vector<std::size_t>& personalProperties();

private:
    std::vector<QCheckBox*> m_boxes;
};

// Clears the properties on the rows as one undoable step; nothing is written before a save. A row
// that no longer holds the same package is left alone.
class ClearPropertiesCommand : public QUndoCommand
{
public:
    ClearPropertiesCommand(DocumentTableModel& model,
                           const std::vector<std::size_t>& rows,
                           const std::vector<std::size_t>& properties);

    void redo() override;
    void undo() override;

private:
    void store(const std::vector<engine::DocumentRecord>& records);

    DocumentTableModel& m_model;
    std::vector<std::size_t> m_rows;
    std::vector<engine::DocumentRecord> m_before;
    std::vector<engine::DocumentRecord> m_after;
};

} // namespace app
