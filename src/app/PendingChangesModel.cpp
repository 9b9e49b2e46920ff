#include "app/PendingChangesModel.h"

#include "editing/QtText.h"
#include "engine/package/OfficeExtensions.h"
#include "engine/record/PathMessage.h"

#include <QApplication>
#include <QStyle>
#include <QtConcurrent>

#include <array>
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
std::vector<char> SignedEntries(const std::vector<ReviewEntry>& entries)
{
    std::unordered_map<std::string, std::size_t> indexOf;
    std::vector<std::string> paths;
    for (const ReviewEntry& entry : entries) {
        if (indexOf.try_emplace(entry.Record->FullPath, paths.size()).second) {
            paths.push_back(entry.Record->FullPath);
        }
    }
    const QList<char> isSigned = QtConcurrent::blockingMapped<QList<char>>(
        paths, [](const std::string& path) -> char { return engine::PackageIsSigned(path) ? 1 : 0; });
    std::vector<char> result;
    result.reserve(entries.size());
    for (const ReviewEntry& entry : entries) {
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
    , m_entries(std::move(entries))
    , m_signed(SignedEntries(m_entries))
{
    std::array<bool, engine::kPropertyCount> occurs{};
    QStringList customNames;
    for (const ReviewEntry& entry : m_entries) {
        const QString name = editing::ToQString(engine::ChangeName(entry.Change));
        m_names << name;
        if (entry.Change.CustomName.empty()) {
            occurs[entry.Change.Property] = true;
        } else if (!customNames.contains(name)) {
            customNames << name;
        }
    }
    for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
        if (occurs[p]) {
            const std::string_view name = engine::DisplayName(p);
            m_propertyNames << editing::ToQString(name);
        }
    }
    m_propertyNames << customNames;
    std::unordered_set<std::string> signedPaths;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_signed[i] != 0) {
            signedPaths.insert(m_entries[i].Record->FullPath);
        }
    }
    m_signedPackages = signedPaths.size();
    setPropertyFilter({});
}

void PendingChangesModel::setPropertyFilter(const QString& name)
{
    beginResetModel();
    m_shown.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (name.isEmpty() || m_names[static_cast<qsizetype>(i)] == name) {
            m_shown.push_back(i);
        }
    }
    endResetModel();
}

std::vector<editing::RecordDrops> PendingChangesModel::droppedChanges() const
{
    std::vector<editing::RecordDrops> drops;
    for (const ReviewEntry& entry : m_entries) {
        if (entry.Keep) {
            continue;
        }
        if (drops.empty() || drops.back().Record != entry.Record) {
            drops.push_back(editing::RecordDrops{entry.Record, {}});
        }
        drops.back().Changes.push_back(entry.Change);
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
    const ReviewEntry& entry = m_entries[m_shown[static_cast<std::size_t>(row)]];
    switch (role) {
    case Qt::DisplayRole: {
        // The name heads its group; the rows below it belong to the same file.
        const bool first =
            row == 0 || m_entries[m_shown[static_cast<std::size_t>(row) - 1]].Record != entry.Record;
        return first ? editing::ToQString(entry.Record->FileName) : QString();
    }
    case Qt::ToolTipRole:
        return editing::ToQString(m_signed[m_shown[static_cast<std::size_t>(row)]] != 0
                                      ? engine::PathMessage(entry.Record->FullPath, engine::kSignatureWarning)
                                      : entry.Record->FullPath);
    case Qt::DecorationRole:
        if (m_signed[m_shown[static_cast<std::size_t>(row)]] != 0) {
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
        return {};
    case Qt::CheckStateRole:
        return entry.Keep ? Qt::Checked : Qt::Unchecked;
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
        return m_names[static_cast<qsizetype>(at)];
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
    if (index.isValid() && index.column() == FileColumn) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool PendingChangesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != FileColumn || role != Qt::CheckStateRole ||
        index.row() >= rowCount()) {
        return false;
    }
    ReviewEntry& entry = m_entries[m_shown[static_cast<std::size_t>(index.row())]];
    const bool keep = value.toInt() == Qt::Checked;
    if (entry.Keep != keep) {
        entry.Keep = keep;
        emit dataChanged(index, index, {Qt::CheckStateRole});
    }
    return true;
}

} // namespace app
