#include "editing/TfmModify.h"

#include "editing/BatchListModel.h"
#include "editing/BatchValueDelegate.h"
#include "editing/FocusEditView.h"
#include "editing/QtText.h"
#include "editing/RecordEdits.h"
#include "editing/ScreenFit.h"
#include "editing/WrappingButton.h"
#include "engine/record/DateConvert.h"

#include <QFrame>
#include <QHeaderView>
#include <QVBoxLayout>

#include <utility>

namespace editing {

namespace {

constexpr int kButtonLeft = 339;
constexpr int kButtonWidth = 75;

} // namespace

TfmModify::TfmModify(RecordEdits& edits, QWidget* parent)
    : QDialog(parent)
    , m_edits(edits)
{
    setObjectName(QStringLiteral("fmModify"));
    setWindowTitle(QStringLiteral("Batch Modify Metadata Information"));
    CentreOnScreen(*this);
    // The controls keep their places; on a screen too small for them they scroll.
    auto* content = new QWidget(this);
    content->setFixedSize(424, 437);
    ScrollWhenTooSmall(*this, content);

    auto* panel = new QFrame(content);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(9, 9, 321, 417);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(1, 1, 1, 1);

    m_list = new BatchListModel(this);
    m_view = new FocusEditView(panel);
    m_view->setObjectName(QStringLiteral("VT"));
    m_view->setModel(m_list);
    auto* delegate = new BatchValueDelegate(*m_list, m_view);
    m_view->setItemDelegate(delegate);
    connect(delegate, &BatchValueDelegate::valueRefused, this, [this](const QString& message) {
        if (m_applyRefusal) {
            *m_applyRefusal = message;
        } else {
            emit valueRefused(message);
        }
    });
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setTabKeyNavigation(false);
    // Selecting a row edits its value (column 0 hands editing to column 1).
    m_view->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(23);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_view->horizontalHeader()->setHighlightSections(false);
    layout->addWidget(m_view);

    auto* checkAll = addButton(new QPushButton(content), "btnCheckAll", QStringLiteral("Check All"), 21, 25);
    auto* uncheckAll =
        addButton(new QPushButton(content), "btnUncheckAll", QStringLiteral("Uncheck All"), 63, 25);
    auto* all = addButton(new WrappingButton(content), "btnAll", QStringLiteral("Appy to all file"), 241, 65);
    auto* checked = addButton(new WrappingButton(content), "btnChecked",
                              QStringLiteral("Appy to all checked file"), 311, 65);
    auto* close = addButton(new QPushButton(content), "btnClose", QStringLiteral("Close"), 395, 25);
    connect(checkAll, &QPushButton::clicked, this, &TfmModify::btnCheckAllClick);
    connect(uncheckAll, &QPushButton::clicked, this, &TfmModify::btnUncheckAllClick);
    connect(all, &QPushButton::clicked, this, &TfmModify::btnAllClick);
    connect(checked, &QPushButton::clicked, this, &TfmModify::btnCheckedClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_view, checkAll);
    setTabOrder(checkAll, uncheckAll);
    setTabOrder(uncheckAll, checked);
    setTabOrder(checked, all);
    setTabOrder(all, close);
}

QPushButton*
TfmModify::addButton(QPushButton* button, const char* name, const QString& caption, int top, int height)
{
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setGeometry(kButtonLeft, top, kButtonWidth, height);
    // Enter belongs to the list's editors, never to a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void TfmModify::showEvent(QShowEvent* event)
{
    FillBatchList();
    QDialog::showEvent(event);
}

void TfmModify::FillBatchList()
{
    m_list->fill();
    m_view->setColumnWidth(0, 120);
    m_view->setColumnWidth(1, 190);
}

void TfmModify::btnCheckAllClick()
{
    m_list->setAllChecked(true);
}

void TfmModify::btnUncheckAllClick()
{
    m_list->setAllChecked(false);
}

void TfmModify::btnAllClick()
{
    apply(false);
}

void TfmModify::btnCheckedClick()
{
    apply(true);
}

void TfmModify::apply(bool checkedOnly)
{
    // A value still in its editor belongs to this apply; if it is refused, nothing is applied.
    m_applyRefusal.emplace();
    m_view->commitOpenEditor();
    QString refusal = *std::exchange(m_applyRefusal, std::nullopt);
    if (const auto problem = BatchValuesProblem(m_list->checkedValues()); refusal.isEmpty() && problem) {
        refusal = ToQString(*problem) + QLatin1Char('.');
    }
    if (!refusal.isEmpty()) {
        emit valueRefused(refusal + QStringLiteral(" Nothing was applied."));
        return;
    }
    if (!m_list->anyChecked()) {
        return;
    }
    if (!resolveRepeatedTimes()) {
        return;
    }
    // Without a checked document row "to all checked" has nothing to do and the dialog stays.
    if (!m_edits.applyBatch(m_list->checkedValues(), checkedOnly) && checkedOnly) {
        return;
    }
    accept();
}

bool TfmModify::resolveRepeatedTimes()
{
    if (!m_chooseRepeatedTime) {
        return true;
    }
    for (const BatchValue& value : m_list->checkedValues()) {
        if (!engine::IsDateProperty(value.Property) || !engine::RepeatedLocalTimeInstants(value.Value)) {
            continue;
        }
        const auto chosen = m_chooseRepeatedTime(value.Value);
        if (!chosen) {
            return false;
        }
        m_list->setData(m_list->index(static_cast<int>(value.Property), 1), ToQString(*chosen), Qt::EditRole);
    }
    return true;
}

} // namespace editing
