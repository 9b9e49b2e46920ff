#include "app/dialogs/TWaitForm.h"

#include "app/dialogs/WaitAnimation.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QToolButton>

#include <algorithm>
#include <climits>

namespace app {

namespace {

constexpr int kWidth = 376;
// The notice, status line and Cancel button take the first 84 pixels; the progress of the
// packages sits below them.
constexpr int kHeight = 132;

int LineHeight(const QWidget* widget, int designed)
{
    return std::max(designed, widget->fontMetrics().height());
}

// The notice is one line in a fixed place; a large system font is stepped down until it fits.
void FitOnOneLine(QLabel* label)
{
    QFont font = label->font();
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(label->text()) > label->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label->setFont(font);
}

} // namespace

TWaitForm::TWaitForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    // A tool window of the main window: it stays in front of it, and centred on it when it moves.
    if (parent != nullptr) {
        parent->window()->installEventFilter(this);
    }
    setObjectName(QStringLiteral("WaitForm"));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    m_animation = new WaitAnimation(this);
    m_animation->setObjectName(QStringLiteral("Animate1"));
    m_animation->setGeometry(8, 8, 80, 50);

    m_notice = new QLabel(QStringLiteral("This will take a few minutes.Please be patient..."), this);
    m_notice->setObjectName(QStringLiteral("Label1"));
    m_notice->setGeometry(103, 8, kWidth - 103 - 4, LineHeight(m_notice, 13));
    FitOnOneLine(m_notice);

    m_status = new QLabel(QStringLiteral("..."), this);
    m_status->setObjectName(QStringLiteral("Label2"));
    m_status->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_status->setGeometry(105, 30, 221, LineHeight(m_status, 13));

    m_cancel = new QToolButton(this);
    m_cancel->setObjectName(QStringLiteral("SpeedButton1"));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_cancel->setAutoRaise(true);
    m_cancel->setFocusPolicy(Qt::NoFocus);
    m_cancel->setGeometry(142, 54, 97, 25);
    connect(m_cancel, &QToolButton::clicked, this, [this] {
        m_cancelRequested = true;
        m_cancel->setEnabled(false);
        m_currentFile->setText(QStringLiteral("Stopping after the current package..."));
    });

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setGeometry(8, 88, kWidth - 16, 16);
    m_progress->setFormat(QStringLiteral("%v of %m"));
    m_progress->setRange(0, 0);

    m_currentFile = new QLabel(this);
    m_currentFile->setObjectName(QStringLiteral("CurrentFile"));
    m_currentFile->setGeometry(8, 108, kWidth - 16, LineHeight(m_currentFile, 16));
}

void TWaitForm::ShowWaitBox(bool show, bool withCancel)
{
    if (!show) {
        if (isVisible()) {
            hide();
        }
        return;
    }
    m_cancelRequested = false;
    m_cancel->setVisible(withCancel);
    m_cancel->setEnabled(true);
    m_progress->setRange(0, 0);
    m_currentFile->clear();
    centreOverParent();
    QWidget::show();
    raise();
    repaint();
}

void TWaitForm::SetWaitText(const QString& text)
{
    m_status->setText(text);
    m_status->repaint();
}

void TWaitForm::setProgress(std::size_t done, std::size_t total, const QString& currentPath)
{
    if (m_cancelRequested) {
        return;
    }
    // Until the work knows its total the bar just runs.
    const int maximum = static_cast<int>(std::min<std::size_t>(total, INT_MAX));
    m_progress->setRange(0, maximum);
    m_progress->setValue(static_cast<int>(std::min<std::size_t>(done, INT_MAX)));
    const QString name = currentPath.section(QLatin1Char('/'), -1);
    m_currentFile->setText(
        m_currentFile->fontMetrics().elidedText(name, Qt::ElideMiddle, m_currentFile->width()));
    m_currentFile->setToolTip(currentPath);
}

bool TWaitForm::eventFilter(QObject* watched, QEvent* event)
{
    if (isVisible() && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        centreOverParent();
    }
    return QWidget::eventFilter(watched, event);
}

void TWaitForm::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TWaitForm::centreOverParent()
{
    const QWidget* owner = parentWidget();
    QRect area = owner != nullptr ? owner->window()->frameGeometry() : QRect();
    if (area.isEmpty() && QGuiApplication::primaryScreen() != nullptr) {
        area = QGuiApplication::primaryScreen()->availableGeometry();
    }
    move(area.center() - rect().center());
}

} // namespace app
