// The rows the window's commands act on, and the grid's filter box and context menu: commands act
// on the rows the filter shows, found through the sorted and filtered view.
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/QtText.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QUrl>

#include <set>

namespace app {

namespace {

// Escape in the filter box clears it, as long as there is something to clear.
class FilterBoxKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box != nullptr && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !box->text().isEmpty()) {
            box->clear();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

std::vector<std::size_t> TfmMain::selectedRows() const
{
    std::set<std::size_t> rows;
    for (const QModelIndex& index : m_grid->selectionModel()->selectedRows()) {
        rows.insert(static_cast<std::size_t>(m_view->mapToSource(index).row()));
    }
    if (rows.empty() && m_grid->currentIndex().isValid()) {
        rows.insert(static_cast<std::size_t>(m_view->mapToSource(m_grid->currentIndex()).row()));
    }
    return {rows.begin(), rows.end()};
}

std::vector<std::size_t> TfmMain::shownRows() const
{
    return m_view->shownRows();
}

std::vector<std::size_t> TfmMain::checkedShownRows() const
{
    std::vector<std::size_t> rows = m_view->shownRows();
    std::erase_if(
        rows, [this](std::size_t row) { return m_model->documents().CheckState(row) != engine::kChecked; });
    return rows;
}

QWidget* TfmMain::buildFilterBox(QWidget* parent)
{
    m_filterBox = new QLineEdit(parent);
    m_filterBox->setObjectName(QStringLiteral("FilterBox"));
    m_filterBox->setPlaceholderText(QStringLiteral("Filter rows (Ctrl+F)"));
    m_filterBox->setClearButtonEnabled(true);
    m_filterBox->installEventFilter(new FilterBoxKeys(m_filterBox));
    connect(m_filterBox, &QLineEdit::textChanged, this, [this](const QString& text) {
        // An edit still open belongs to its row whether or not the row stays shown.
        m_grid->commitOpenEditor();
        m_view->setFilterText(text);
    });
    return m_filterBox;
}

void TfmMain::focusFilter()
{
    m_filterBox->setFocus(Qt::ShortcutFocusReason);
    m_filterBox->selectAll();
}

void TfmMain::buildGridMenu()
{
    m_gridMenu = new QMenu(this);
    m_gridMenu->setObjectName(QStringLiteral("GridMenu"));
    m_gridMenu->addActions(m_exportMenu->actions());
    m_gridMenu->addSeparator();
    for (const char* name :
         {"actCheckSelected", "actUncheckSelected", "actOpenContainingFolder", "actCopyPath"}) {
        m_gridMenu->addAction(findChild<QAction*>(QString::fromLatin1(name)));
    }
}

void TfmMain::setSelectedCheckStates(int state)
{
    m_model->setCheckStates(selectedRows(), state);
}

void TfmMain::checkSelectedRows()
{
    setSelectedCheckStates(engine::kChecked);
}

void TfmMain::uncheckSelectedRows()
{
    setSelectedCheckStates(engine::kUnchecked);
}

void TfmMain::openContainingFolder()
{
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty()) {
        return;
    }
    const QString path = editing::ToQString(m_model->documents().RecordAt(rows.front()).FullPath);
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    Dialogs::showFileInFolder(this, path, [this, folder](bool shown) {
        if (!shown) {
            Dialogs::warning(
                this, QStringLiteral("Warning"),
                QStringLiteral("No file manager could be started to show the folder %1").arg(folder));
        }
    });
}

void TfmMain::copyPaths()
{
    QStringList paths;
    for (const std::size_t row : selectedRows()) {
        paths.push_back(
            QDir::toNativeSeparators(editing::ToQString(m_model->documents().RecordAt(row).FullPath)));
    }
    if (!paths.isEmpty()) {
        QGuiApplication::clipboard()->setText(paths.join(QLatin1Char('\n')));
    }
}

} // namespace app
