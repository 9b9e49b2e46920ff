#include "app/dialogs/TFMAbout.h"

#include "app/dialogs/AppInfo.h"
#include "app/dialogs/Dialogs.h"
#include "editing/QtText.h"
#include "editing/ScreenFit.h"
#include "export/Maker.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QUrl>

namespace app {

namespace {

QLabel* LinkLabel(const QString& target, const QString& text, QWidget* parent)
{
    auto* label =
        new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff; text-decoration:underline\">%2</a>")
                       .arg(target.toHtmlEscaped(), text.toHtmlEscaped()),
                   parent);
    label->setTextFormat(Qt::RichText);
    label->setCursor(Qt::PointingHandCursor);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    return label;
}

} // namespace

QString MakerAddress()
{
    return editing::ToQString(exporting::kMakerAddress);
}

bool OpenWebPage()
{
    return Dialogs::openUrl(QUrl(MakerAddress()));
}

bool OpenMailLink()
{
    return Dialogs::openUrl(QUrl(QStringLiteral("mailto:") + editing::ToQString(kMakerMail)));
}

TFMAbout::TFMAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FMAbout"));
    setWindowTitle(QStringLiteral("About Velmora"));
    setFixedSize(292, 190);
    editing::CentreOnScreen(*this);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("Title"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);

    auto* notice = new QLabel(editing::ToQString(kMakerNotice), this);
    notice->setWordWrap(true);

    auto* web = LinkLabel(QStringLiteral("web"), MakerAddress(), this);
    web->setObjectName(QStringLiteral("Label5"));
    connect(web, &QLabel::linkActivated, this, [] { OpenWebPage(); });
    auto* mail = LinkLabel(QStringLiteral("mail"), editing::ToQString(kMakerMail), this);
    mail->setObjectName(QStringLiteral("Label7"));
    connect(mail, &QLabel::linkActivated, this, [] { OpenMailLink(); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_title, 0, 0, 1, 2, Qt::AlignHCenter);
    layout->addWidget(notice, 1, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Web: "), this), 2, 0);
    layout->addWidget(web, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("Email: "), this), 3, 0);
    layout->addWidget(mail, 3, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("AboutButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
}

void TFMAbout::showEvent(QShowEvent* event)
{
    m_title->setText(editing::ToQString(kAppCaption));
    QDialog::showEvent(event);
}

} // namespace app
