#include "app/dialogs/PreviewFooter.h"

#include "app/dialogs/ChangesView.h"
#include "app/dialogs/PendingChangesModel.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

namespace app {

PreviewBody AddPreviewBody(QDialog& dialog, QBoxLayout& layout)
{
    PreviewBody body;
    body.Counts = new QLabel(&dialog);
    body.Counts->setObjectName(QStringLiteral("lblCounts"));
    layout.addWidget(body.Counts);
    body.Changes = new PendingChangesModel(std::vector<PreviewEntry>{}, &dialog);
    layout.addWidget(MakeChangesView(*body.Changes, dialog), 2);
    body.Problems = new QListWidget(&dialog);
    body.Problems->setObjectName(QStringLiteral("lstProblems"));
    layout.addWidget(body.Problems, 1);
    return body;
}

PreviewFooter AddPreviewFooter(QDialog& dialog, QBoxLayout& layout, const QString& messageName)
{
    PreviewFooter footer;
    footer.Message = new QLabel(&dialog);
    footer.Message->setObjectName(messageName);
    footer.Message->setWordWrap(true);
    layout.addWidget(footer.Message);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    footer.Apply = buttons->button(QDialogButtonBox::Ok);
    footer.Apply->setText(QStringLiteral("Apply"));
    footer.Apply->setObjectName(QStringLiteral("btnApply"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(buttons);
    return footer;
}

} // namespace app
