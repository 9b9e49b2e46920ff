#include "app/PreviewFooter.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

namespace app {

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
