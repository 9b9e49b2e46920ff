// The window's commands as QActions: the menu bar, the command bar's buttons, the export menu and
// the keyboard shortcuts all trigger the same actions.
#include "app/dialogs/UserGuideWindow.h"
#include "app/grid/DocumentGrid.h"
#include "app/window/CommandBar.h"
#include "app/window/CommandButton.h"
#include "app/window/CommandKeyGuard.h"
#include "app/window/MenuVisibility.h"
#include "app/window/TfmMain.h"
#include "editing/QtText.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>
#include <QUndoStack>

#include <initializer_list>

namespace app {

namespace {

// What a command needs before its handler runs, applied where its action is triggered (Guarded), so
// that no handler repeats it.
enum Guard : unsigned
{
    kNoGuard = 0,
    // The window must be idle: the action is disabled while a long command runs, and the handler
    // does not run if the action is reached then all the same.
    kNeedsIdle = 1U << 0,
    // What is typed into an open cell editor is stored first, so that the command sees it.
    kCommitsEditor = 1U << 1,
};

// A command of the window: its menu entry, its button (if any), its key, its guards and what it
// runs. A setting is a checkable entry whose handler takes the state the user chose.
struct CommandInfo
{
    const char* actionName;
    const char* menuText; // with its mnemonic
    const char* caption;  // the button's caption and the tooltip's text
    QKeySequence shortcut;
    unsigned guards;
    void (TfmMain::*handler)() = nullptr;
    void (TfmMain::*setting)(bool) = nullptr;
    const char* buttonName = nullptr; // nullptr: a menu command only
    const char* themeIcon = nullptr;
    QStyle::StandardPixmap fallbackIcon = QStyle::SP_CustomBase;
};

// Every command of the window, in command-bar order first, then the menu-only commands and the
// settings. No shortcut may be a key that a text box uses, since the shortcuts also work while a
// cell editor is open. The menus place them by name (buildMenus).
const CommandInfo kCommands[] = {
    {"actAddFile", "Add &File\u2026", "Add File", QKeySequence(Qt::CTRL | Qt::Key_O),
     kNeedsIdle | kCommitsEditor, &TfmMain::BitBtn1Click, nullptr, "BitBtn1", "document-open",
     QStyle::SP_FileIcon},
    {"actAddFolder", "Add F&older\u2026", "Add Folder", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
     kNeedsIdle | kCommitsEditor, &TfmMain::BitBtn2Click, nullptr, "BitBtn2", "folder-open",
     QStyle::SP_DirOpenIcon},
    {"actDeleteChecked", "&Delete Checked", "Delete Checked",
     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), kNeedsIdle | kCommitsEditor, &TfmMain::BitBtn3Click,
     nullptr, "BitBtn3", "edit-delete", QStyle::SP_TrashIcon},
    {"actDeleteAll", "Delete A&ll", "Delete All", QKeySequence(), kNeedsIdle | kCommitsEditor,
     &TfmMain::BitBtn4Click, nullptr, "BitBtn4", "edit-clear", QStyle::SP_DialogDiscardButton},
    {"actBatchModify", "&Batch Modify\u2026", "Batch Modify", QKeySequence(Qt::CTRL | Qt::Key_B),
     kNeedsIdle | kCommitsEditor, &TfmMain::BitBtn8Click, nullptr, "BitBtn8", "document-properties",
     QStyle::SP_FileDialogDetailedView},
    {"actSaveChecked", "Save &Checked", "Save Checked", QKeySequence(Qt::CTRL | Qt::Key_S),
     kNeedsIdle | kCommitsEditor, &TfmMain::btnSaveCheckedClick, nullptr, "btnSaveChecked", "document-save",
     QStyle::SP_DialogSaveButton},
    {"actSaveAll", "Save &All", "Save All", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
     kNeedsIdle | kCommitsEditor, &TfmMain::btnSaveAllClick, nullptr, "btnSaveAll", "document-save-all",
     QStyle::SP_DriveHDIcon},
    {"actExport", "&Export", "Export", QKeySequence(Qt::CTRL | Qt::Key_E), kNeedsIdle | kCommitsEditor,
     &TfmMain::popupExportMenuUnderButton, nullptr, "SpeedButton1", "document-export",
     QStyle::SP_FileDialogListView},
    {"actRefresh", "&Refresh", "Refresh", QKeySequence(Qt::Key_F5), kNeedsIdle | kCommitsEditor,
     &TfmMain::BitBtn5Click, nullptr, "BitBtn5", "view-refresh", QStyle::SP_BrowserReload},
    {"actExit", "E&xit", "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q), kCommitsEditor, &TfmMain::BitBtn9Click,
     nullptr, "BitBtn9", "application-exit", QStyle::SP_DialogCloseButton},
    {"actImport", "&Import\u2026", "Import", QKeySequence(Qt::CTRL | Qt::Key_I), kNeedsIdle | kCommitsEditor,
     &TfmMain::importTable, nullptr, nullptr, "document-import", QStyle::SP_DialogOpenButton},
    {"actFillPattern", "&Fill from Pattern\u2026", "Fill from Pattern", QKeySequence(),
     kNeedsIdle | kCommitsEditor, &TfmMain::fillFromPattern, nullptr, nullptr, "edit-find-replace",
     QStyle::SP_FileDialogContentsView},
    {"actUndoLastSave", "Undo &Last Save", "Undo Last Save", QKeySequence(), kNeedsIdle | kCommitsEditor,
     &TfmMain::undoLastSave},
    {"actReviewChanges", "Re&view Changes\u2026", "Review Changes", QKeySequence(Qt::CTRL | Qt::Key_R),
     kNeedsIdle | kCommitsEditor, &TfmMain::reviewPendingChanges},
    {"actCustomProperties", "Custom Properties\u2026", "Custom Properties", QKeySequence(),
     kNeedsIdle | kCommitsEditor, &TfmMain::editCustomProperties},
    {"actRemovePersonalInfo", "Remove &Personal Information\u2026", "Remove Personal Information",
     QKeySequence(), kNeedsIdle | kCommitsEditor, &TfmMain::removePersonalInfo},
    {"actFileTypes", "File Types\u2026", "File Types", QKeySequence(), kNeedsIdle | kCommitsEditor,
     &TfmMain::chooseFileTypes},
    {"actFilter", "Fi&lter Rows", "Filter Rows", QKeySequence(Qt::CTRL | Qt::Key_F),
     kNeedsIdle | kCommitsEditor, &TfmMain::focusFilter},
    {"actCheckSelected", "Check Selected", "Check Selected", QKeySequence(), kNeedsIdle | kCommitsEditor,
     &TfmMain::checkSelectedRows},
    {"actUncheckSelected", "Uncheck Selected", "Uncheck Selected", QKeySequence(),
     kNeedsIdle | kCommitsEditor, &TfmMain::uncheckSelectedRows},
    {"actOpenContainingFolder", "Open Containing Folder", "Open Containing Folder", QKeySequence(),
     kNeedsIdle | kCommitsEditor, &TfmMain::openContainingFolder},
    {"actCopyPath", "Copy Path", "Copy Path", QKeySequence(), kNeedsIdle | kCommitsEditor,
     &TfmMain::copyPaths},
    {"actJournalSaves", "&Record Saves for Undo Last Save", "Record Saves for Undo Last Save", QKeySequence(),
     kNoGuard, nullptr, &TfmMain::rememberJournalSaves},
    {"actKeepModificationTime", "&Keep Modification Times", "Keep Modification Times", QKeySequence(),
     kNoGuard, nullptr, &TfmMain::rememberKeepModificationTime},
    {"actSaveLockedPackages", "Save Packages &Open in Other Programs", "Save Packages Open in Other Programs",
     QKeySequence(), kNoGuard, nullptr, &TfmMain::rememberSaveLockedPackages},
    {"actReviewBeforeSave", "Review Changes &Before Saving", "Review Changes Before Saving", QKeySequence(),
     kNoGuard, nullptr, &TfmMain::rememberReviewBeforeSave},
    {"actShowCustomProperties", "Show Custom Properties", "Show Custom Properties", QKeySequence(), kNoGuard,
     nullptr, &TfmMain::showCustomProperties},
    {"actShowStatistics", "Show Statistics Columns", "Show Statistics Columns", QKeySequence(), kNoGuard,
     nullptr, &TfmMain::showStatisticsColumns},
    {"actDetails", "&Details", "Details", QKeySequence(Qt::Key_F3), kNoGuard, nullptr,
     &TfmMain::showDetailsPane},
};

// The export menu's entries, commands with guards of their own.
struct ExportItem
{
    const char* name;
    exporting::ExportFormat format;
    unsigned guards;
    void (TfmMain::*handler)();
};

const ExportItem kExportItems[] = {
    {"ExportToExcel1", exporting::ExportFormat::Spreadsheet, kNeedsIdle | kCommitsEditor,
     &TfmMain::ExportToExcel1Click},
    {"ExportToHTML1", exporting::ExportFormat::Html, kNeedsIdle | kCommitsEditor,
     &TfmMain::ExportToHTML1Click},
    {"ExportToText1", exporting::ExportFormat::Text, kNeedsIdle | kCommitsEditor,
     &TfmMain::ExportToText1Click},
    {"ExportToXML1", exporting::ExportFormat::Xml, kNeedsIdle | kCommitsEditor, &TfmMain::ExportToXML1Click},
    {"ExportToCsv", exporting::ExportFormat::Csv, kNeedsIdle | kCommitsEditor, &TfmMain::ExportToCsvClick},
};

// Applies a command's guards before its handler: false when the command needs the window idle and
// a long command runs; otherwise an open cell editor is committed first where the command asks.
bool Guarded(TfmMain& window, unsigned guards)
{
    if ((guards & kNeedsIdle) != 0 && window.isBusy()) {
        return false;
    }
    if ((guards & kCommitsEditor) != 0) {
        window.grid().commitOpenEditor();
    }
    return true;
}

// "Add File (Ctrl+O)": the button's tooltip names the key that does the same.
QString ToolTipOf(const QString& caption, const QKeySequence& shortcut)
{
    if (shortcut.isEmpty()) {
        return caption;
    }
    return QStringLiteral("%1 (%2)").arg(caption, shortcut.toString(QKeySequence::NativeText));
}

// Adds the window's actions of the given names in order; an empty name adds a separator.
void AddEntries(QMenu& menu, const QObject& window, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (*name == '\0') {
            menu.addSeparator();
        } else {
            menu.addAction(window.findChild<QAction*>(QString::fromLatin1(name)));
        }
    }
}

} // namespace

void TfmMain::buildActions()
{
    m_undoStack = new QUndoStack(this);
    m_undoStack->setObjectName(QStringLiteral("undoStack"));
    QAction* undo = m_undoStack->createUndoAction(this, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("actUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = m_undoStack->createRedoAction(this, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("actRedo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    addAction(undo);
    addAction(redo);

    for (const CommandInfo& command : kCommands) {
        auto* action = new QAction(editing::ToQString(command.menuText), this);
        action->setObjectName(QString::fromLatin1(command.actionName));
        action->setIconText(editing::ToQString(command.caption));
        action->setShortcut(command.shortcut);
        action->setToolTip(ToolTipOf(editing::ToQString(command.caption), command.shortcut));
        if (command.themeIcon != nullptr) {
            action->setIcon(QIcon::fromTheme(QString::fromLatin1(command.themeIcon),
                                             style()->standardIcon(command.fallbackIcon)));
        }
        if (command.setting != nullptr) {
            // A setting the user chooses; the setters put it on the action without this signal.
            action->setCheckable(true);
            connect(action, &QAction::triggered, this,
                    [this, setting = command.setting, guards = command.guards](bool checked) {
                        if (Guarded(*this, guards)) {
                            (this->*setting)(checked);
                        }
                    });
        } else {
            connect(action, &QAction::triggered, this,
                    [this, handler = command.handler, guards = command.guards] {
                        if (Guarded(*this, guards)) {
                            (this->*handler)();
                        }
                    });
        }
        if ((command.guards & kNeedsIdle) != 0) {
            m_idleActions.push_back(action);
        }
        addAction(action);
    }
    restoreCommandSettings();

    m_exportMenu = new QMenu(this);
    m_exportMenu->setObjectName(QStringLiteral("ExportMenu"));
    for (const ExportItem& item : kExportItems) {
        QAction* action =
            m_exportMenu->addAction(editing::ToQString(exporting::TextsOf(item.format).MenuCaption));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, [this, handler = item.handler, guards = item.guards] {
            if (Guarded(*this, guards)) {
                (this->*handler)();
            }
        });
        if ((item.guards & kNeedsIdle) != 0) {
            m_idleActions.push_back(action);
        }
    }
}

QWidget* TfmMain::buildCommandBar()
{
    m_commandBar = new CommandBar(this);
    for (const CommandInfo& command : kCommands) {
        if (command.buttonName != nullptr) {
            m_commandBar->addButton(findChild<QAction*>(QString::fromLatin1(command.actionName)),
                                    QString::fromLatin1(command.buttonName));
        }
    }
    auto* exportButton = m_commandBar->findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
    exportButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(exportButton, &QWidget::customContextMenuRequested, this,
            [this, exportButton](const QPoint& pos) { m_exportMenu->popup(exportButton->mapToGlobal(pos)); });
    return m_commandBar;
}

void TfmMain::buildMenus()
{
    const auto action = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
    AddEntries(
        *m_fileMenu, *this,
        {"actAddFile", "actAddFolder", "actImport", "", "actSaveChecked", "actSaveAll", "actRefresh", ""});
    // The export entries; Ctrl+E opens the same menu under the Export button.
    QMenu* exportEntries =
        m_fileMenu->addMenu(QStringLiteral("&Export\t%1")
                                .arg(action("actExport")->shortcut().toString(QKeySequence::NativeText)));
    exportEntries->setObjectName(QStringLiteral("FileExportMenu"));
    exportEntries->addActions(m_exportMenu->actions());
    AddEntries(*m_fileMenu, *this, {"", "actExit"});

    m_editMenu = bar->addMenu(QStringLiteral("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    AddEntries(*m_editMenu, *this,
               {"actUndo", "actRedo", "actUndoLastSave", "actReviewChanges", "", "actFilter", "", "actBatchModify",
                "actCustomProperties", "actRemovePersonalInfo", "actFillPattern", ""});
    auto* checkAll = new QAction(QStringLiteral("Check &All"), this);
    checkAll->setObjectName(QStringLiteral("actCheckAll"));
    checkAll->setCheckable(true);
    checkAll->setChecked(m_checkAll->isChecked());
    connect(checkAll, &QAction::triggered, this, [this](bool checked) {
        m_checkAll->setChecked(checked);
        cbCheckAllClick();
    });
    connect(m_checkAll, &QCheckBox::toggled, checkAll, &QAction::setChecked);
    m_editMenu->addAction(checkAll);
    AddEntries(*m_editMenu, *this, {"actDeleteChecked", "actDeleteAll"});

    QMenu* viewMenu = bar->addMenu(QStringLiteral("&View"));
    viewMenu->setObjectName(QStringLiteral("ViewMenu"));
    AddEntries(*viewMenu, *this, {"actDetails"});

    m_optionsMenu = bar->addMenu(QStringLiteral("&Options"));
    m_optionsMenu->setObjectName(QStringLiteral("OptionsMenu"));
    HideWhileEmpty(m_optionsMenu);
    AddEntries(*m_optionsMenu, *this,
               {"actJournalSaves", "actKeepModificationTime", "actSaveLockedPackages", "actReviewBeforeSave",
                "actFileTypes", "actShowCustomProperties", "actShowStatistics"});

    QAction* about = bar->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("m1"));
    connect(about, &QAction::triggered, this, &TfmMain::m1Click);
    // F1 opens the guide compiled into the program; Help opens the web page.
    QAction* guide = bar->addAction(QStringLiteral("&User Guide"));
    guide->setObjectName(QStringLiteral("actUserGuide"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    connect(guide, &QAction::triggered, this, [this] { UserGuideWindow::showFor(this); });
    addAction(guide);
    QAction* help = bar->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    connect(help, &QAction::triggered, this, &TfmMain::Help1Click);

    // Every command key except Undo and Redo, which an open editor keeps for its own text.
    QList<QKeySequence> keys;
    for (QAction* command : actions()) {
        if (!command->shortcut().isEmpty() && command != action("actUndo") && command != action("actRedo")) {
            keys << command->shortcut();
        }
    }
    auto* guard = new CommandKeyGuard(m_grid, this);
    guard->setKeys(keys);
}

void TfmMain::SpeedButton1Click()
{
    m_exportMenu->popup(QCursor::pos());
}

void TfmMain::popupExportMenuUnderButton()
{
    auto* button = m_commandBar->findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
    if (button->underMouse()) {
        // A click: the menu opens at the mouse pointer.
        SpeedButton1Click();
        return;
    }
    QWidget* anchor = button->isVisible() ? static_cast<QWidget*>(button) : m_commandBar->extensionButton();
    m_exportMenu->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
}

} // namespace app
