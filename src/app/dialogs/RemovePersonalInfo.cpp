#include "app/dialogs/RemovePersonalInfo.h"

#include "editing/QtText.h"
#include "engine/record/DocumentRecord.h"
#include "engine/record/PersonalProperties.h"

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
    for (const std::size_t p : engine::PersonalProperties()) {
        auto* box = new QCheckBox(editing::ToQString(engine::DisplayName(p)), this);
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

std::vector<std::size_t> RemovePersonalInfoDialog::chosenProperties() const
{
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes[i]->isChecked()) {
            chosen.push_back(engine::PersonalProperties()[i]);
        }
    }
    return chosen;
}

} // namespace app
