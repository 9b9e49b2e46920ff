#include "app/TfmMain.h"

#include "app/AppInfo.h"
#include "app/ColumnConfig.h"
#include "app/CommandButton.h"
#include "app/DefaultColumnConfig.h"
#include "app/Dialogs.h"
#include "app/DocumentGrid.h"
#include "app/DocumentTableModel.h"
#include "app/TFMAbout.h"
#include "app/TWaitForm.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace app {

namespace {

struct CommandButtonInfo
{
    const char* name;
    const char* caption;
    const char* themeIcon;
    QStyle::StandardPixmap fallbackIcon;
    void (TfmMain::*handler)();
};

const CommandButtonInfo kCommandButtons[] = {
    {"BitBtn1", "Add File", "document-open", QStyle::SP_FileIcon, &TfmMain::BitBtn1Click},
    {"BitBtn2", "Add Folder", "folder-open", QStyle::SP_DirOpenIcon, &TfmMain::BitBtn2Click},
    {"BitBtn3", "Delete Checked", "edit-delete", QStyle::SP_TrashIcon, &TfmMain::BitBtn3Click},
    {"BitBtn4", "Delete All", "edit-clear", QStyle::SP_DialogDiscardButton, &TfmMain::BitBtn4Click},
    {"BitBtn8", "Batch Modify", "document-properties", QStyle::SP_FileDialogDetailedView,
     &TfmMain::BitBtn8Click},
    {"btnSaveChecked", "Save Checked", "document-save", QStyle::SP_DialogSaveButton,
     &TfmMain::btnSaveCheckedClick},
    {"btnSaveAll", "Save All", "document-save-all", QStyle::SP_DriveHDIcon, &TfmMain::btnSaveAllClick},
    {"SpeedButton1", "Export", "document-export", QStyle::SP_FileDialogListView, &TfmMain::SpeedButton1Click},
    {"BitBtn5", "Refresh", "view-refresh", QStyle::SP_BrowserReload, &TfmMain::BitBtn5Click},
    {"BitBtn9", "Exit", "application-exit", QStyle::SP_DialogCloseButton, &TfmMain::BitBtn9Click},
};

struct ExportItem
{
    const char* name;
    const char* caption;
    void (TfmMain::*handler)();
};

const ExportItem kExportItems[] = {
    {"ExportToExcel1", "Export To Excel (*.xls)", &TfmMain::ExportToExcel1Click},
    {"ExportToHTML1", "Export To HTML (*.htm)", &TfmMain::ExportToHTML1Click},
    {"ExportToText1", "Export To Text (*.txt)", &TfmMain::ExportToText1Click},
    {"ExportToXML1", "Export To XML (*.xml)", &TfmMain::ExportToXML1Click},
};

constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 60;
constexpr int kButtonStep = 83; // neighbouring buttons overlap by one pixel
constexpr int kCommandBarHeight = 76;

} // namespace

TfmMain::TfmMain(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmMain"));
    m_model = new DocumentTableModel(this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildCommandBar());
    layout->addWidget(buildGridPanel(), 1);
    setCentralWidget(central);
    buildMenus();
    m_undoStack = new QUndoStack(this);
    buildOfficeActions();

    m_waitForm = new TWaitForm(this);
    setAcceptDrops(true);
    resize(998, 488);
}

TfmMain::~TfmMain()
{
    // A worker still running works on its own copies; let it stop after its package and wait.
    if (m_running.isRunning()) {
        m_waitForm->requestCancel();
        m_running.waitForFinished();
    }
}

QWidget* TfmMain::buildCommandBar()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(kCommandBarHeight);
    for (std::size_t k = 0; k < std::size(kCommandButtons); ++k) {
        const CommandButtonInfo& command = kCommandButtons[k];
        auto* button = new CommandButton(panel);
        button->setObjectName(QString::fromLatin1(command.name));
        button->setText(QString::fromLatin1(command.caption));
        button->setIcon(
            QIcon::fromTheme(QString::fromLatin1(command.themeIcon), style()->standardIcon(command.fallbackIcon)));
        button->setIconSize(QSize(24, 24));
        button->setGeometry(11 + kButtonStep * static_cast<int>(k), 7, kButtonWidth, kButtonHeight);
        connect(button, &QToolButton::clicked, this, command.handler);
        m_commandButtons.push_back(button);
    }
    return panel;
}

QWidget* TfmMain::buildGridPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel2"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    m_grid = new DocumentGrid(panel);
    m_grid->setModel(m_model);
    layout->addWidget(m_grid);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_exportMenu->popup(m_grid->viewport()->mapToGlobal(pos)); });

    // Lies over the left end of the header, where the first caption leaves room for it.
    m_checkAll = new QCheckBox(panel);
    m_checkAll->setObjectName(QStringLiteral("cbCheckAll"));
    m_checkAll->setChecked(true);
    m_checkAll->setFocusPolicy(Qt::NoFocus);
    m_checkAll->setGeometry(5, 4, 15, 17);
    m_checkAll->raise();
    connect(m_checkAll, &QCheckBox::clicked, this, &TfmMain::cbCheckAllClick);
    return panel;
}

void TfmMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    QAction* about = bar->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("m1"));
    connect(about, &QAction::triggered, this, &TfmMain::m1Click);
    QAction* help = bar->addAction(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    connect(help, &QAction::triggered, this, &TfmMain::Help1Click);

    m_exportMenu = new QMenu(this);
    m_exportMenu->setObjectName(QStringLiteral("ExportMenu"));
    for (const ExportItem& item : kExportItems) {
        QAction* action = m_exportMenu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.handler);
        m_exportActions.push_back(action);
    }
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
    setWindowTitle(QString::fromUtf8(kAppCaption));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TfmMain::LoadColumnConfig()
{
    std::vector<ColumnSetting> columns = ReadColumnConfig(m_xmlDoc, DefaultColumnConfig);
    m_model->setColumns(columns);
    QHeaderView* header = m_grid->horizontalHeader();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        header->resizeSection(static_cast<int>(i), columns[i].width);
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
    event->accept();
}

void TfmMain::setBusy(bool busy)
{
    m_busy = busy;
    m_model->setLocked(busy);
    for (QToolButton* button : m_commandButtons) {
        // Exit stays: it asks the running command to stop and closes afterwards.
        button->setEnabled(!busy || button->objectName() == QLatin1String("BitBtn9"));
    }
    for (QAction* action : m_exportActions) {
        action->setEnabled(!busy);
    }
    m_customPropertiesAction->setEnabled(!busy);
}

void TfmMain::runCommand(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& e) {
        Dialogs::critical(this, QStringLiteral("Error"), QString::fromStdString(e.what()));
    } catch (...) {
        Dialogs::critical(this, QStringLiteral("Error"), QStringLiteral("The command failed for an unknown reason."));
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
    OpenWebPage();
}

void TfmMain::SpeedButton1Click()
{
    m_exportMenu->popup(QCursor::pos());
}

void TfmMain::BitBtn8Click()
{
    if (m_busy) {
        return;
    }
    if (m_batchModify) {
        m_batchModify();
        return;
    }
    Dialogs::warning(this, QStringLiteral("Warning"),
                     QStringLiteral("Batch Modify is not available in this build."));
}

} // namespace app
