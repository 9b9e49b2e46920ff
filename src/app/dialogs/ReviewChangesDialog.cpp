#include "app/dialogs/ReviewChangesDialog.h"

#include "app/dialogs/ChangesView.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace app {

ReviewChangesDialog::ReviewChangesDialog(std::vector<ReviewEntry> entries, QWidget* parent)
    : QDialog(parent)
    , m_model(new PendingChangesModel(std::move(entries), this))
    , m_filter(new QComboBox(this))
    , m_view(MakeChangesView(*m_model, *this))
{
    setObjectName(QStringLiteral("dlgReviewChanges"));
    setWindowTitle(QStringLiteral("Review Changes"));
    setSizeGripEnabled(true);

    m_filter->setObjectName(QStringLiteral("cbPropertyFilter"));
    m_filter->addItem(QStringLiteral("All properties"));
    m_filter->addItems(m_model->propertyNames());
    connect(m_filter, &QComboBox::currentIndexChanged, this,
            [this](int at) { m_model->setPropertyFilter(at <= 0 ? QString() : m_filter->itemText(at)); });
    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel(QStringLiteral("&Show:"), this);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);

    QString hintText = QStringLiteral("Uncheck a change to take it back.");
    if (const std::size_t count = m_model->signedPackageCount(); count > 0) {
        hintText += QStringLiteral(" %1 marked package(s) are digitally signed: their signatures may "
                                   "no longer verify once saved.")
                        .arg(count);
    }
    auto* hint = new QLabel(hintText, this);
    hint->setObjectName(QStringLiteral("lblReviewHint"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("btnReviewSave"));
    QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btnReviewClose"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_view, 1);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    resize(900, 450);
}

} // namespace app
