#include "app/dialogs/FileTypesDialog.h"

#include "engine/package/OfficeExtensions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

FileTypesDialog::FileTypesDialog(const QStringList& chosen, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FileTypesDialog"));
    setWindowTitle(QStringLiteral("File Types"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Add Folder and dropped folders add the packages of these types:"), this));
    auto* grid = new QGridLayout;
    // PowerPoint, Word and Excel kinds in one column each.
    for (std::size_t i = 0; i < engine::kOfficeExtensions.size(); ++i) {
        const QString extension = QString::fromLatin1(engine::kOfficeExtensions[i].data(),
                                                      static_cast<int>(engine::kOfficeExtensions[i].size()));
        auto* box = new QCheckBox(QStringLiteral(".") + extension, this);
        box->setObjectName(QStringLiteral("cbType_") + extension);
        box->setChecked(chosen.contains(extension));
        connect(box, &QCheckBox::toggled, this, &FileTypesDialog::updateOkButton);
        const int column = i < 6 ? 0 : i < 10 ? 1 : 2;
        const int row = i < 6    ? static_cast<int>(i)
                        : i < 10 ? static_cast<int>(i) - 6
                                 : static_cast<int>(i) - 10;
        grid->addWidget(box, row, column);
        m_boxes.push_back(box);
    }
    layout->addLayout(grid);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_buttons);
    updateOkButton();
}

QStringList FileTypesDialog::chosen() const
{
    QStringList extensions;
    for (const QCheckBox* box : m_boxes) {
        if (box->isChecked()) {
            extensions << box->objectName().mid(QStringLiteral("cbType_").size());
        }
    }
    return extensions;
}

void FileTypesDialog::updateOkButton()
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!chosen().isEmpty());
}

} // namespace app
