#include "app/details/DetailsPane.h"

#include "app/details/ThumbnailView.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "editing/QtText.h"
#include "engine/record/DocumentRecord.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <memory>

namespace app {

namespace {

// Long enough to let a held-down arrow key pass several rows between two reads, short enough to
// feel immediate when the user stops.
constexpr int kReadSpacingMs = 120;

enum FileFact
{
    FileName,
    FileSize,
    FileModified,
    FileCreated,
    FileMembers,
    FileSigned,
    FileFactCount,
};

const char* const kFileFactNames[FileFactCount] = {"Name",    "Size",    "Modified",
                                                   "Created", "Members", "Signed"};

QTreeWidgetItem* AddGroup(QTreeWidget& tree, const QString& caption)
{
    auto* group = new QTreeWidgetItem(&tree, {caption});
    QFont bold = group->font(0);
    bold.setBold(true);
    group->setFont(0, bold);
    return group;
}

void SetValue(QTreeWidgetItem& item, const QString& value)
{
    item.setText(1, value);
    item.setToolTip(1, value);
}

// The grid's date format, in local time.
QString DateText(const QDateTime& time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                          : QStringLiteral("not recorded");
}

// Makes the group hold exactly count children, reusing those it has.
void ResizeGroup(QTreeWidgetItem& group, int count)
{
    while (group.childCount() > count) {
        const std::unique_ptr<QTreeWidgetItem> removed(group.takeChild(group.childCount() - 1));
    }
    while (group.childCount() < count) {
        new QTreeWidgetItem(&group);
    }
}

} // namespace

DetailsPane::DetailsPane(const DocumentTableModel& rows,
                         const DocumentSortFilterModel& view,
                         const QAbstractItemView& grid,
                         QWidget* parent)
    : QDockWidget(QStringLiteral("Details"), parent)
    , m_rows(rows)
    , m_view(view)
    , m_grid(grid)
{
    setObjectName(QStringLiteral("DetailsPane"));
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    m_thumbnail = new ThumbnailView(content);
    m_thumbnail->setObjectName(QStringLiteral("DetailsThumbnail"));
    layout->addWidget(m_thumbnail);
    m_facts = new QTreeWidget(content);
    m_facts->setObjectName(QStringLiteral("DetailsFacts"));
    m_facts->setColumnCount(2);
    m_facts->setHeaderHidden(true);
    m_facts->setRootIsDecorated(false);
    m_facts->setUniformRowHeights(true);
    m_facts->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    layout->addWidget(m_facts, 1);
    setWidget(content);

    m_fileGroup = AddGroup(*m_facts, QStringLiteral("File"));
    for (const char* name : kFileFactNames) {
        new QTreeWidgetItem(m_fileGroup, {QString::fromLatin1(name)});
    }
    m_statisticsGroup = AddGroup(*m_facts, QStringLiteral("Statistics"));
    for (std::string_view name : engine::StatisticNames) {
        new QTreeWidgetItem(m_statisticsGroup, {editing::ToQString(name)});
    }
    m_customGroup = AddGroup(*m_facts, QStringLiteral("Custom Properties"));
    m_facts->expandAll();
    m_facts->setItemsExpandable(false);

    m_pool.setMaxThreadCount(1);
    m_throttle.setSingleShot(true);
    m_throttle.setInterval(kReadSpacingMs);
    connect(&m_throttle, &QTimer::timeout, this, &DetailsPane::startRead);
    connect(&m_watcher, &QFutureWatcher<PackageDetails>::finished, this, &DetailsPane::readFinished);

    connect(grid.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { showCurrent(false); });
    // A reset leaves no current row without telling the selection.
    connect(&view, &QAbstractItemModel::modelReset, this, [this] { showCurrent(false); });
    // An edit, an undo or a save of the current row: its texts now, its file again.
    connect(
        &rows, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex& first, const QModelIndex& last) { rowsChanged(first.row(), last.row()); });
    showRowFacts(nullptr);
    showFileFactsPending({});
}

DetailsPane::~DetailsPane() = default;

void DetailsPane::setHeld(bool held)
{
    m_held = held;
    startRead();
}

void DetailsPane::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    if (!event->spontaneous()) {
        showCurrent(false);
    }
}

void DetailsPane::closeEvent(QCloseEvent* event)
{
    QDockWidget::closeEvent(event);
    if (event->isAccepted()) {
        emit closedByUser();
    }
}

const engine::DocumentRecord* DetailsPane::currentRecord() const
{
    const QModelIndex current = m_grid.currentIndex();
    if (!current.isValid()) {
        return nullptr;
    }
    const int row = m_view.mapToSource(current).row();
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.documents().RowCount()) {
        return nullptr;
    }
    return &m_rows.documents().RecordAt(static_cast<std::size_t>(row));
}

void DetailsPane::showCurrent(bool reread)
{
    if (!isVisible()) {
        // Nothing is kept up to date while hidden; showing the pane reads the row afresh.
        m_path.clear();
        m_readWanted = false;
        ++m_generation;
        return;
    }
    const engine::DocumentRecord* record = currentRecord();
    showRowFacts(record);
    const std::string path = record != nullptr ? record->FullPath : std::string();
    if (reread || path != m_path) {
        requestRead(path, path == m_path && !path.empty());
    }
}

void DetailsPane::rowsChanged(int first, int last)
{
    const QModelIndex current = m_grid.currentIndex();
    if (!current.isValid()) {
        return;
    }
    const int row = m_view.mapToSource(current).row();
    if (row >= first && row <= last) {
        showCurrent(true);
    }
}

void DetailsPane::requestRead(const std::string& path, bool samePackage)
{
    m_path = path;
    ++m_generation;
    if (path.empty()) {
        m_readWanted = false;
        m_throttle.stop();
        showFileFactsPending(QStringLiteral("No row is selected."));
        return;
    }
    // A reread of the package shown keeps its facts until the new ones are there.
    if (!samePackage) {
        showFileFactsPending(QStringLiteral("Reading\u2026"));
    }
    m_readWanted = true;
    if (!m_throttle.isActive()) {
        m_throttle.start();
    }
}

void DetailsPane::startRead()
{
    if (!m_readWanted || m_reading || m_held || m_throttle.isActive()) {
        return;
    }
    m_readWanted = false;
    m_reading = true;
    m_readGeneration = m_generation;
    ++m_readsStarted;
    m_watcher.setFuture(QtConcurrent::run(&m_pool, [path = m_path] { return ReadPackageDetails(path); }));
}

void DetailsPane::readFinished()
{
    m_reading = false;
    if (m_readGeneration == m_generation) {
        showFileFacts(m_watcher.result());
    } else {
        startRead();
    }
}

void DetailsPane::showRowFacts(const engine::DocumentRecord* record)
{
    SetValue(*m_fileGroup->child(FileName),
             record != nullptr ? editing::ToQString(record->FileName) : QString());
    for (std::size_t s = 0; s < engine::kStatisticCount; ++s) {
        SetValue(*m_statisticsGroup->child(static_cast<int>(s)),
                 record != nullptr
                     ? editing::ToQString(record->StatisticText(static_cast<engine::Statistic>(s)))
                     : QString());
    }
    if (record == nullptr) {
        ResizeGroup(*m_customGroup, 0);
        return;
    }
    const engine::CustomProperties& custom = record->Custom;
    const bool unreadable = !custom.Error.empty();
    ResizeGroup(*m_customGroup, unreadable ? 1 : static_cast<int>(custom.Items.size()));
    if (unreadable) {
        QTreeWidgetItem& item = *m_customGroup->child(0);
        item.setText(0, QStringLiteral("Error"));
        item.setFont(1, m_facts->font());
        item.setForeground(1, m_facts->palette().text());
        SetValue(item, editing::ToQString(custom.Error));
        return;
    }
    for (std::size_t i = 0; i < custom.Items.size(); ++i) {
        const engine::CustomProperty& property = custom.Items[i];
        QTreeWidgetItem& item = *m_customGroup->child(static_cast<int>(i));
        item.setText(0, editing::ToQString(property.Name));
        SetValue(item, editing::ToQString(property.Value));
        // A change not yet saved looks as it does in the grid.
        QFont font = m_facts->font();
        font.setBold(property.Changed);
        item.setFont(1, font);
        item.setForeground(1, property.Changed ? QBrush(QColor(0, 0, 255)) : m_facts->palette().text());
    }
}

void DetailsPane::showFileFacts(const PackageDetails& details)
{
    if (details.Picture.isNull()) {
        m_thumbnail->setText(details.PictureNote);
    } else {
        m_thumbnail->setPicture(QPixmap::fromImage(details.Picture));
    }
    const auto fact = [this](FileFact f) -> QTreeWidgetItem& { return *m_fileGroup->child(f); };
    SetValue(fact(FileSize), details.Size ? QStringLiteral("%1 bytes").arg(*details.Size)
                                          : QStringLiteral("the file does not exist"));
    SetValue(fact(FileModified), details.Size ? DateText(details.Modified) : QString());
    SetValue(fact(FileCreated), details.Size ? DateText(details.Created) : QString());
    if (details.MemberCount) {
        SetValue(fact(FileMembers), QString::number(*details.MemberCount));
        SetValue(fact(FileSigned), details.Signed ? QStringLiteral("yes") : QStringLiteral("no"));
    } else {
        SetValue(fact(FileMembers), QStringLiteral("unknown: %1").arg(details.ArchiveError));
        SetValue(fact(FileSigned), QStringLiteral("unknown"));
    }
}

void DetailsPane::showFileFactsPending(const QString& note)
{
    m_thumbnail->setText(note);
    for (int f = FileSize; f < FileFactCount; ++f) {
        SetValue(*m_fileGroup->child(f), QString());
    }
}

} // namespace app
