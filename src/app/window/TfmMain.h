#pragma once

#include "app/window/AddItems.h"
#include "export/ExportFormat.h"
#include "export/GridSnapshot.h"
#include "xml/TXMLDocument.h"

#include <QFuture>
#include <QMainWindow>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QUndoStack;
class QWidget;

namespace engine {
struct Progress;
}

namespace app {

class CommandBar;
class DocumentGrid;
class DocumentSortFilterModel;
class DetailsPane;
class DocumentTableModel;
struct SavePlan;
class TWaitForm;
class WaitBoxScope;

// The main window: the command bar, the document grid with its check-all box, the menus and the
// wait box. Long commands run the engine on worker threads while the window keeps painting;
// while one runs, no other command and nothing that removes rows can start.
class TfmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    [[nodiscard]] DocumentTableModel& model() const { return *m_model; }

    [[nodiscard]] DocumentGrid& grid() const { return *m_grid; }

    // The grid's sorted and filtered view of the model's rows.
    [[nodiscard]] DocumentSortFilterModel& view() const { return *m_view; }

    [[nodiscard]] TWaitForm& waitForm() const { return *m_waitForm; }

    [[nodiscard]] DetailsPane& detailsPane() const { return *m_details; }

    [[nodiscard]] bool isBusy() const { return m_busy; }

    // The edits of the grid, undone and redone by the Edit menu's first two items.
    [[nodiscard]] QUndoStack* undoStack() const { return m_undoStack; }

    // The menu other commands join (File, Edit, Options); Options shows once it has an item.
    [[nodiscard]] QMenu* fileMenu() const { return m_fileMenu; }

    [[nodiscard]] QMenu* editMenu() const { return m_editMenu; }

    [[nodiscard]] QMenu* optionsMenu() const { return m_optionsMenu; }

    // Writes one export; runs on a worker thread. Replaceable so that a test can watch it.
    using Exporter =
        std::function<void(exporting::ExportFormat, const exporting::GridSnapshot&, const std::string&)>;

    void setExporter(Exporter exporter) { m_exporter = std::move(exporter); }

    // The batch-modify dialog plugs in here; the window's constructor installs it (InstallEditing).
    void setBatchModifyHandler(std::function<void()> handler) { m_batchModify = std::move(handler); }

    // Sees each progress report of a long command on the worker thread, before the wait box shows
    // it, so that a cancel can be requested at an exact point (tests do).
    void setProgressObserver(std::function<void(std::size_t done, std::size_t total)> observer)
    {
        m_progressObserver = std::move(observer);
    }

    // Adds what was dropped or chosen, as a long command; warning is shown once it has ended.
    void addItems(std::vector<AddItem> items, const QString& warning = {});
    // Adds paths given on the command line: files of any extension and folders, in order. Paths
    // that do not exist or are too small to be a package are listed in one warning afterwards.
    void openPaths(const QStringList& paths);

    // Whether saves are recorded in the journal (so that they can be undone) and whether packages
    // keep their modification times; the Options menu's settings, remembered between runs.
    void setSaveOptions(bool journal, bool keepModificationTime);
    // Whether saves and Undo Last Save write packages that another program has open (a lock file
    // beside them) without asking; off unless the user chooses it in the Options menu, and never
    // remembered. While off, a save asks about such packages and Undo Last Save leaves them alone.
    void setSaveLockedPackages(bool save);
    // Whether Save Checked and Save All show the pending changes for review first (the Options
    // menu's setting; remembered only when the user chooses it there).
    void setReviewBeforeSave(bool review);
    // A message in the status bar for a few seconds: what a command that ended has done.
    void showStatusMessage(const QString& text);

public slots:
    // The bodies of the window's commands. Whether a command needs the window idle and whether an
    // open cell editor is committed first are columns of the command table, applied where the
    // command's action is triggered: run a command as the user does by triggering its action.
    // The command bar's buttons, each also a menu entry with a key (see the command table):
    // BitBtn1 Add File, BitBtn2 Add Folder, BitBtn3 Delete Checked, BitBtn4 Delete All, BitBtn8 Batch
    // Modify, btnSaveChecked Save Checked, btnSaveAll Save All, SpeedButton1 Export (its menu at the
    // pointer), BitBtn5 Refresh, BitBtn9 Exit; cbCheckAll checks or unchecks every row; the menu bar's
    // m1 is About and Help1 opens the web help.
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn8Click();
    void btnSaveCheckedClick();
    void btnSaveAllClick();
    void SpeedButton1Click();
    void BitBtn5Click();
    void BitBtn9Click();
    void cbCheckAllClick();
    void m1Click();
    void Help1Click();
    // Ctrl+E: the export menu under the Export button.
    void popupExportMenuUnderButton();
    void ExportToExcel1Click();
    void ExportToHTML1Click();
    void ExportToText1Click();
    void ExportToXML1Click();
    void ExportToCsvClick();
    // Restores the packages of the last journaled save run not yet undone, after a confirmation.
    void undoLastSave();
    // Stages the clearing of the chosen personal properties on the checked rows, as one undoable step.
    void removePersonalInfo();
    // Adds, changes and removes custom properties of the selected rows, as one undoable step.
    void editCustomProperties();
    // Ctrl+I: a CSV or XLSX table's values on the rows it names, previewed first, as one undoable step.
    void importTable();
    // Values computed by a pattern on the checked rows, previewed first, as one undoable step.
    void fillFromPattern();
    // Which package kinds Add Folder and dropped folders take.
    void chooseFileTypes();
    // Lists the pending changes; what the user unchecks there is taken back, and Save saves all.
    void reviewPendingChanges();
    // The Options menu's settings as the user chooses them: applied and remembered.
    void rememberJournalSaves(bool journal);
    void rememberKeepModificationTime(bool keep);
    void rememberReviewBeforeSave(bool review);
    void showCustomProperties(bool shown);
    void showStatisticsColumns(bool shown);
    // F3: the Details pane beside the grid, about the current row; remembered.
    void showDetailsPane(bool shown);
    // Ctrl+F: the focus to the filter box above the grid.
    void focusFilter();
    // The grid's context menu: the check boxes of the selected rows, the folder of the current
    // row in the file manager, the selected rows' paths to the clipboard.
    void checkSelectedRows();
    void uncheckSelectedRows();
    void openContainingFolder();
    void copyPaths();

signals:
    // A long command has ended and its rows are in the grid.
    void commandFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void InitMainWindow();
    void LoadColumnConfig();
    void buildActions();
    QWidget* buildCommandBar();
    QWidget* buildGridPanel();
    QWidget* buildFilterBox(QWidget* parent);
    void buildGridMenu();
    void setSelectedCheckStates(int state);
    // The check-all box and its menu entry as the rows shown are checked: all, some or none.
    void showCheckAllState();
    void buildMenus();
    // The Options menu's remembered settings, on their actions and in force.
    void restoreCommandSettings();
    void restoreSettings();
    void saveSettings() const;
    // The rows with a selected cell, as row numbers of the model in added order; the current row
    // when nothing is selected.
    [[nodiscard]] std::vector<std::size_t> selectedRows() const;
    // The rows commands act on, as row numbers of the model in added order: every row the filter
    // shows (every row when no filter is set), or those of them that are checked.
    [[nodiscard]] std::vector<std::size_t> shownRows() const;
    [[nodiscard]] std::vector<std::size_t> checkedShownRows() const;

    // Runs work on a worker thread with the wait box shown; finish runs on this thread afterwards,
    // inside one grid update, also when work failed, and may return a warning for the user.
    // Failures are shown in an error box once the wait box is gone. finish may hand the command's
    // next step to thenRun; it runs once the window is idle again, unless the work failed or the
    // window is closing, and the command has ended (commandFinished) when no step started another
    // long command.
    void thenRun(std::function<void()> next) { m_nextStep = std::move(next); }
    void runLongCommand(std::function<void(const engine::Progress&)> work,
                        std::function<QString()> finish,
                        bool cancellable = true);
    void setBusy(bool busy);
    // Runs a short command body, showing any failure in an error box.
    void runCommand(const std::function<void()>& body);
    void saveRows(bool checkedOnly);
    void writeChanges(bool checkedOnly);
    // The second step of a save: the questions about the packages the first step looked at, then
    // the save itself.
    void writePlannedChanges(const std::shared_ptr<SavePlan>& plan);
    // Shows the pending changes of the rows a save would write and takes back what the user
    // unchecked, as one undoable step.
    enum class ReviewOutcome
    {
        NothingToReview,
        Save,
        Close,
    };
    ReviewOutcome reviewChanges(bool checkedOnly);
    [[nodiscard]] std::vector<std::size_t> rowsToSave(bool checkedOnly) const;
    void exportGrid(exporting::ExportFormat format);

    xml::TXMLDocument m_xmlDoc;
    DocumentTableModel* m_model = nullptr;
    DocumentSortFilterModel* m_view = nullptr;
    DocumentGrid* m_grid = nullptr;
    DetailsPane* m_details = nullptr;
    QLineEdit* m_filterBox = nullptr;
    QMenu* m_gridMenu = nullptr;
    QCheckBox* m_checkAll = nullptr;
    QAction* m_checkAllAction = nullptr; // Edit > Check All
    TWaitForm* m_waitForm = nullptr;
    QMenu* m_exportMenu = nullptr;
    CommandBar* m_commandBar = nullptr;
    QUndoStack* m_undoStack = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_optionsMenu = nullptr;
    // The actions of the commands that need the window idle, disabled while a long command runs.
    std::vector<QAction*> m_idleActions;
    Exporter m_exporter;
    std::function<void()> m_batchModify;
    std::function<void(std::size_t, std::size_t)> m_progressObserver;
    std::unique_ptr<WaitBoxScope> m_waitScope;
    std::function<void()> m_nextStep;
    QFuture<QString> m_running;
    bool m_initialised = false;
    bool m_busy = false;
    bool m_closePending = false;
    bool m_journalSaves = true;
    bool m_keepModificationTime = false;
    bool m_saveLockedPackages = false;
    bool m_reviewBeforeSave = false;
};

} // namespace app
