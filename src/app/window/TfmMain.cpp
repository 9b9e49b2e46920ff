#include "app/window/TfmMain.h"

#include "app/details/DetailsPane.h"
#include "app/dialogs/AppInfo.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/TFMAbout.h"
#include "app/dialogs/TWaitForm.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/grid/GridStatus.h"
#include "app/settings/ColumnConfig.h"
#include "app/settings/DefaultColumnConfig.h"
#include "app/window/EditingHookup.h"
#include "editing/QtText.h"
#include "export/ExportToFile.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QUndoStack>
#include <QVBoxLayout>

#include <initializer_list>

namespace app {

TfmMain::TfmMain(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmMain"));
    m_model = new DocumentTableModel(this);
    m_exporter = [](exporting::ExportFormat format, const exporting::GridSnapshot& grid,
                    const std::string& path) { exporting::ExportToFile(format, grid, path); };
    buildActions();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildCommandBar());
    layout->addWidget(buildGridPanel(), 1);
    setCentralWidget(central);
    buildMenus();
    m_details = new DetailsPane(*m_model, *m_view, *m_grid, this);
    addDockWidget(Qt::RightDockWidgetArea, m_details);
    connect(m_details, &DetailsPane::closedByUser, this, [this] { showDetailsPane(false); });
    m_details->setVisible(findChild<QAction*>(QStringLiteral("actDetails"))->isChecked());
    new GridStatus(*m_model, *m_view, *m_grid, *statusBar()); // owned by the status bar

    m_waitForm = new TWaitForm(this);
    InstallEditing(*this);
    setAcceptDrops(true);
    resize(998, 488);
}

TfmMain::~TfmMain()
{
    // While the window's parts go (an open editor commits as it loses the focus), the rows' signals
    // must no longer reach it.
    m_model->disconnect(this);
    m_view->disconnect(this);
    // A worker still running works on its own copies; let it stop after its package and wait.
    if (m_running.isRunning()) {
        m_waitForm->requestCancel();
        m_running.waitForFinished();
    }
}

QWidget* TfmMain::buildGridPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel2"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buildFilterBox(panel));
    m_grid = new DocumentGrid(panel);
    m_view = new DocumentSortFilterModel(*m_model, this);
    m_grid->setModel(m_view);
    layout->addWidget(m_grid);
    buildGridMenu();
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_gridMenu->popup(m_grid->viewport()->mapToGlobal(pos)); });
    connect(m_grid, &DocumentGrid::checkSelectedRequested, this,
            [this](bool check) { setSelectedCheckStates(check ? engine::kChecked : engine::kUnchecked); });

    // Sits in the header of the file-name column, where the caption's leading blanks leave room,
    // and moves with that column when it is scrolled, dragged or resized.
    m_checkAll = new QCheckBox(panel);
    m_checkAll->setObjectName(QStringLiteral("cbCheckAll"));
    m_checkAll->setChecked(true);
    m_checkAll->setFocusPolicy(Qt::NoFocus);
    m_grid->placeInFirstColumnHeader(m_checkAll);
    connect(m_checkAll, &QCheckBox::clicked, this, &TfmMain::cbCheckAllClick);
    // The box and Edit > Check All show whether the rows shown are all, partly or not checked.
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex&, const QList<int>& roles) {
                if (topLeft.column() == 0 && (roles.isEmpty() || roles.contains(Qt::CheckStateRole))) {
                    showCheckAllState();
                }
            });
    for (QAbstractItemModel* rows : std::initializer_list<QAbstractItemModel*>{m_model, m_view}) {
        connect(rows, &QAbstractItemModel::rowsInserted, this, &TfmMain::showCheckAllState);
        connect(rows, &QAbstractItemModel::rowsRemoved, this, &TfmMain::showCheckAllState);
        connect(rows, &QAbstractItemModel::modelReset, this, &TfmMain::showCheckAllState);
        connect(rows, &QAbstractItemModel::layoutChanged, this, &TfmMain::showCheckAllState);
    }
    return panel;
}

void TfmMain::showCheckAllState()
{
    std::size_t checked = 0;
    const std::vector<std::size_t> rows = shownRows();
    for (const std::size_t row : rows) {
        checked += m_model->documents().CheckState(row) == engine::kChecked ? 1 : 0;
    }
    // With no rows the box stays checked: rows added later start checked.
    const Qt::CheckState state = checked == rows.size() ? Qt::Checked
                                 : checked == 0         ? Qt::Unchecked
                                                        : Qt::PartiallyChecked;
    m_checkAll->setCheckState(state);
    if (m_checkAllAction == nullptr) {
        return;
    }
    // A menu entry has no third state: a partly checked one is unchecked and shows the box's
    // partly checked mark as its icon.
    m_checkAllAction->setChecked(state == Qt::Checked);
    m_checkAllAction->setIcon(state == Qt::PartiallyChecked ? QIcon(m_checkAll->grab()) : QIcon());
    m_checkAllAction->setProperty("checkState", static_cast<int>(state));
}

void TfmMain::showEvent(QShowEvent* event)
{
    if (!m_initialised) {
        m_initialised = true;
        InitMainWindow();
    }
    QMainWindow::showEvent(event);
}

void TfmMain::InitMainWindow()
{
    LoadColumnConfig();
    setWindowTitle(editing::ToQString(kAppCaption));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    restoreSettings();
}

void TfmMain::LoadColumnConfig()
{
    std::vector<ColumnSetting> columns = ReadColumnConfig(m_xmlDoc, DefaultColumnConfig);
    m_model->setColumns(columns);
    QHeaderView* header = m_grid->horizontalHeader();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        // The configured widths suit one font; a caption or a date is never cut at the start.
        header->resizeSection(static_cast<int>(i),
                              std::max(columns[i].width, m_grid->fittingWidth(static_cast<int>(i))));
    }
    // Display positions and visibility come second, once every column exists.
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int logical = static_cast<int>(i);
        const int target = std::clamp(columns[i].displayPosition, 0, header->count() - 1);
        header->moveSection(header->visualIndex(logical), target);
        header->setSectionHidden(logical, !columns[i].visible);
    }
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    if (m_busy) {
        // The running command stops after its package; the window closes when it has ended.
        m_closePending = true;
        m_waitForm->requestCancel();
        event->ignore();
        return;
    }
    m_closePending = false;
    m_grid->commitOpenEditor();
    if (m_model->anyModified() &&
        Dialogs::question(
            this, QStringLiteral("Warning"),
            QStringLiteral("Some packages have changes that were not saved. Discard the changes "
                           "and exit?")) != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    m_waitForm->ShowWaitBox(false, false);
    saveSettings();
    event->accept();
}

void TfmMain::setBusy(bool busy)
{
    m_busy = busy;
    m_model->setLocked(busy);
    // The packages a command reads or saves are not opened beside it.
    m_details->setHeld(busy);
    // Exit stays: it asks the running command to stop and closes afterwards.
    for (QAction* action : m_idleActions) {
        action->setEnabled(!busy);
    }
    // Undo and Redo change rows that a worker may be copying; they follow the stack again after.
    if (auto* undo = findChild<QAction*>(QStringLiteral("actUndo"))) {
        undo->setEnabled(!busy && m_undoStack->canUndo());
    }
    if (auto* redo = findChild<QAction*>(QStringLiteral("actRedo"))) {
        redo->setEnabled(!busy && m_undoStack->canRedo());
    }
}

void TfmMain::runCommand(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& e) {
        Dialogs::critical(this, QStringLiteral("Error"), editing::ToQString(e.what()));
    } catch (...) {
        Dialogs::critical(this, QStringLiteral("Error"),
                          QStringLiteral("The command failed for an unknown reason."));
    }
}

void TfmMain::BitBtn9Click()
{
    close();
}

void TfmMain::m1Click()
{
    TFMAbout about(this);
    about.exec();
}

void TfmMain::Help1Click()
{
    if (!OpenWebPage()) {
        Dialogs::warning(this, QStringLiteral("Warning"),
                         QStringLiteral("No web browser could be opened. Help is at %1").arg(MakerAddress()));
    }
}

void TfmMain::BitBtn8Click()
{
    m_batchModify();
}

void TfmMain::showStatusMessage(const QString& text)
{
    constexpr int kShownMilliseconds = 6000;
    statusBar()->showMessage(text, kShownMilliseconds);
}

} // namespace app
