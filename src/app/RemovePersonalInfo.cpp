#include "app/RemovePersonalInfo.h"

#include "app/DocumentTableModel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace app {

RemovePersonalInfoDialog::RemovePersonalInfoDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgRemovePersonalInfo"));
    setWindowTitle(QStringLiteral("Remove Personal Information"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Clear these properties on the checked rows:"), this));
    for (const std::size_t p : personalProperties()) {
        auto* box = new QCheckBox(
            QString::fromUtf8(engine::DisplayName(p).data(), static_cast<int>(engine::DisplayName(p).size())),
            this);
        box->setChecked(true);
        box->setObjectName(QStringLiteral("cb") + box->text());
        layout->addWidget(box);
        m_boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

const std::vector<std::size_t>& RemovePersonalInfoDialog::personalProperties()
{
    // Creator, LastModifiedBy, Company, Manager, LastPrinted, Template.
    static const std::vector<std::size_t> properties = {
        2, 5, engine::kCoreCount + 2, engine::kCoreCount + 3, 7, engine::kCoreCount};
    return properties;
}

std::vector<std::size_t> RemovePersonalInfoDialog::chosenProperties() const
{
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes[i]->isChecked()) {
            chosen.push_back(personalProperties()[i]);
        }
    }
    return chosen;
}

ClearPropertiesCommand::ClearPropertiesCommand(DocumentTableModel& model,
                                               const std::vector<std::size_t>& rows,
                                               const std::vector<std::size_t>& properties)
    : QUndoCommand(QStringLiteral("Remove Personal Information"))
    , m_model(model)
    , m_rows(rows)
{
    for (const std::size_t row : rows) {
        m_before.push_back(model.RecordAt(row));
        engine::DocumentRecord after = model.RecordAt(row);
        for (const std::size_t p : properties) {
            after.Value(p).clear();
            after.SetChanged(p, true);
        }
        after.Modified = after.Modified || !properties.empty();
        m_after.push_back(std::move(after));
    }
}

void ClearPropertiesCommand::store(const std::vector<engine::DocumentRecord>& records)
{
    DocumentTableModel::UpdateBlock block(m_model);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i] < m_model.RowCount() && m_model.RecordAt(m_rows[i]).FullPath == records[i].FullPath) {
            m_model.storeRecord(m_rows[i], records[i]);
        }
    }
}

void ClearPropertiesCommand::redo()
{
    store(m_after);
}

void ClearPropertiesCommand::undo()
{
    store(m_before);
}

} // namespace app
