#include "app/dialogs/PendingChangesModel.h"

#include "editing/QtText.h"
#include "engine/parts/CustomColumnCaption.h"
#include "engine/package/OfficeExtensions.h"
#include "engine/base/PathMessage.h"

#include <QApplication>
#include <QStyle>
#include <QtConcurrent>

#include <array>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

namespace app {

namespace {

// A line break would make a row grow or hide the rest of the text; the cell shows a mark instead
// and the tooltip the whole text.
QString OneLine(const std::string& text)
{
    QString shown = editing::ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\u23CE"));
    shown.replace(QLatin1Char('\n'), QChar(0x23CE));
    shown.replace(QLatin1Char('\r'), QChar(0x23CE));
    return shown;
}

// Per entry, whether its package holds a digital signature. Each package is opened once, on all
// cores, since every look reads the package's directory from disk.
std::vector<char> SignedEntries(const std::vector<PreviewEntry>& entries)
{
    std::unordered_map<std::string, std::size_t> indexOf;
    std::vector<std::string> paths;
    for (const PreviewEntry& entry : entries) {
        if (indexOf.try_emplace(entry.Record->FullPath, paths.size()).second) {
            paths.push_back(entry.Record->FullPath);
        }
    }
    const QList<char> isSigned = QtConcurrent::blockingMapped<QList<char>>(
        paths, [](const std::string& path) -> char { return engine::PackageIsSigned(path) ? 1 : 0; });
    std::vector<char> result;
    result.reserve(entries.size());
    for (const PreviewEntry& entry : entries) {
        result.push_back(isSigned[static_cast<qsizetype>(indexOf.at(entry.Record->FullPath))]);
    }
    return result;
}

} // namespace

std::vector<ReviewEntry> CollectReviewEntries(engine::DocumentList& rows,
                                              const std::vector<std::size_t>& rowIndexes)
{
    std::vector<ReviewEntry> entries;
    for (const std::size_t row : rowIndexes) {
        engine::DocumentRecord& record = rows.RecordAt(row);
        if (!record.Modified) {
            continue;
        }
        for (engine::PendingChange& change : engine::PendingChanges(record)) {
            entries.push_back(ReviewEntry{&record, std::move(change), true});
        }
    }
    return entries;
}

PendingChangesModel::PendingChangesModel(std::vector<ReviewEntry> entries, QObject* parent)
    : QAbstractTableModel(parent)
    , m_review(true)
{
    m_entries.reserve(entries.size());
    m_editable.reserve(entries.size());
    m_keep.reserve(entries.size());
    for (ReviewEntry& entry : entries) {
        m_entries.push_back(PreviewEntry{entry.Record, std::move(entry.Change)});
        m_editable.push_back(entry.Record);
        m_keep.push_back(entry.Keep ? 1 : 0);
    }
    m_signed = SignedEntries(m_entries);
    std::unordered_set<std::string> signedPaths;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_signed[i] != 0) {
            signedPaths.insert(m_entries[i].Record->FullPath);
        }
    }
    m_signedPackages = signedPaths.size();
    nameProperties();
    setPropertyFilter({});
}

PendingChangesModel::PendingChangesModel(std::vector<PreviewEntry> entries, QObject* parent)
    : QAbstractTableModel(parent)
{
    setPreviewEntries(std::move(entries));
}

void PendingChangesModel::setPreviewEntries(std::vector<PreviewEntry> entries)
{
    if (m_review) {
        return; // a review lists what it was made with: its checks belong to those entries
    }
    beginResetModel();
    m_entries = std::move(entries);
    nameProperties();
    m_shown.resize(m_entries.size());
    std::iota(m_shown.begin(), m_shown.end(), std::size_t{0});
    endResetModel();
}

void PendingChangesModel::nameProperties()
{
    // First each entry's slot: its property index, or kPropertyCount + the custom name's place as met.
    constexpr auto kCustomSlots = static_cast<int>(engine::kPropertyCount);
    std::array<bool, engine::kPropertyCount> occurs{};
    QStringList customNames;
    std::unordered_map<std::string, int> customPlace;
    m_nameOf.clear();
    m_nameOf.reserve(m_entries.size());
    for (const PreviewEntry& entry : m_entries) {
        const engine::PendingChange& change = entry.Change;
        if (change.CustomName.empty()) {
            occurs[change.Property] = true;
            m_nameOf.push_back(static_cast<int>(change.Property));
            continue;
        }
        const auto [at, added] = customPlace.try_emplace(change.CustomName, customNames.size());
        if (added) {
            customNames << editing::ToQString(engine::CustomColumnCaption(change.CustomName));
        }
        m_nameOf.push_back(kCustomSlots + at->second);
    }
    // Then the names, the catalogue's in catalogue order before the custom ones, and each slot
    // turned into its name's place.
    std::array<int, engine::kPropertyCount> corePlace{};
    m_propertyNames.clear();
    for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
        if (occurs[p]) {
            corePlace[p] = static_cast<int>(m_propertyNames.size());
            m_propertyNames << editing::ToQString(engine::DisplayName(p));
        }
    }
    const auto firstCustom = static_cast<int>(m_propertyNames.size());
    m_propertyNames << customNames;
    for (int& slot : m_nameOf) {
        slot = slot < kCustomSlots ? corePlace[static_cast<std::size_t>(slot)]
                                   : firstCustom + slot - kCustomSlots;
    }
}

void PendingChangesModel::setPropertyFilter(const QString& name)
{
    const qsizetype wanted = m_propertyNames.indexOf(name);
    beginResetModel();
    m_shown.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (name.isEmpty() || m_nameOf[i] == wanted) {
            m_shown.push_back(i);
        }
    }
    endResetModel();
}

std::vector<editing::RecordEdit> PendingChangesModel::droppedChanges() const
{
    std::vector<editing::RecordEdit> drops;
    std::shared_ptr<engine::RecordChanges> changes;
    for (std::size_t i = 0; i < m_keep.size(); ++i) {
        if (m_keep[i] != 0) {
            continue;
        }
        if (drops.empty() || drops.back().Record != m_editable[i]) {
            changes = std::make_shared<engine::RecordChanges>();
            drops.push_back(editing::RecordEdit{m_editable[i], changes});
        }
        changes->Drops.push_back(m_entries[i].Change);
    }
    return drops;
}

int PendingChangesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int PendingChangesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PendingChangesModel::fileData(int row, int role) const
{
    const std::size_t at = m_shown[static_cast<std::size_t>(row)];
    const PreviewEntry& entry = m_entries[at];
    switch (role) {
    case Qt::DisplayRole: {
        // The name heads its group; the rows below it belong to the same file.
        const bool first =
            row == 0 || m_entries[m_shown[static_cast<std::size_t>(row) - 1]].Record != entry.Record;
        return first ? editing::ToQString(entry.Record->FileName) : QString();
    }
    case Qt::ToolTipRole:
        return editing::ToQString(isSigned(at)
                                      ? engine::PathMessage(entry.Record->FullPath, engine::kSignatureWarning)
                                      : entry.Record->FullPath);
    case Qt::DecorationRole:
        if (isSigned(at)) {
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
        return {};
    case Qt::CheckStateRole:
        if (m_review) {
            return m_keep[at] != 0 ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    default:
        return {};
    }
}

QVariant PendingChangesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) {
        return {};
    }
    if (index.column() == FileColumn) {
        return fileData(index.row(), role);
    }
    const std::size_t at = m_shown[static_cast<std::size_t>(index.row())];
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    if (index.column() == PropertyColumn) {
        return m_propertyNames[m_nameOf[at]];
    }
    const engine::PendingChange& change = m_entries[at].Change;
    const std::string& text = index.column() == OldColumn ? change.Old : change.New;
    return role == Qt::DisplayRole ? OneLine(text) : editing::ToQString(text);
}

QVariant PendingChangesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const std::array<QString, ColumnCount> kCaptions = {
        QStringLiteral("File"), QStringLiteral("Property"), QStringLiteral("Old value"),
        QStringLiteral("New value")};
    return section >= 0 && section < ColumnCount ? kCaptions[static_cast<std::size_t>(section)] : QVariant();
}

Qt::ItemFlags PendingChangesModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_review && index.isValid() && index.column() == FileColumn) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool PendingChangesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_review || !index.isValid() || index.column() != FileColumn || role != Qt::CheckStateRole ||
        index.row() >= rowCount()) {
        return false;
    }
    char& keep = m_keep[m_shown[static_cast<std::size_t>(index.row())]];
    const char wanted = value.toInt() == Qt::Checked ? 1 : 0;
    if (keep != wanted) {
        keep = wanted;
        emit dataChanged(index, index, {Qt::CheckStateRole});
    }
    return true;
}

} // namespace app
