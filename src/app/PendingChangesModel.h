#pragma once

#include "editing/DropChangesCommand.h"
#include "engine/record/DocumentList.h"
#include "engine/record/PendingChanges.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <cstddef>
#include <vector>

namespace app {

// One pending change of a grid row and whether the review keeps it.
struct ReviewEntry
{
    engine::DocumentRecord* Record = nullptr;
    engine::PendingChange Change;
    bool Keep = true;
};

// The pending changes of the given rows, grouped by row in row order; rows without Modified are
// passed over without a look at their properties, so a large grid with few changes is quick.
[[nodiscard]] std::vector<ReviewEntry> CollectReviewEntries(engine::DocumentList& rows,
                                                            const std::vector<std::size_t>& rowIndexes);

// The review's rows over a vector of changes: File (shown on the first row of each file's group,
// checked while the change is kept), Property, Old value and New value. A property filter narrows
// the rows shown; what is unchecked stays unchecked while it is filtered out. A digitally signed
// package is marked on its File cells (icon and tooltip), since a save may break its signature;
// the packages are looked at once, when the model is made, never while painting.
class PendingChangesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        FileColumn,
        PropertyColumn,
        OldColumn,
        NewColumn,
        ColumnCount,
    };

    explicit PendingChangesModel(std::vector<ReviewEntry> entries, QObject* parent = nullptr);

    // Each property name that occurs: the catalogue's in catalogue order, then custom ones as met.
    [[nodiscard]] QStringList propertyNames() const { return m_propertyNames; }

    // Shows only the changes of that property; an empty name shows all.
    void setPropertyFilter(const QString& name);

    [[nodiscard]] bool isEmpty() const { return m_entries.empty(); }

    // How many of the listed packages are digitally signed.
    [[nodiscard]] std::size_t signedPackageCount() const { return m_signedPackages; }

    // The unchecked changes per record, in row order.
    [[nodiscard]] std::vector<editing::RecordDrops> droppedChanges() const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    [[nodiscard]] QVariant fileData(int row, int role) const;

    std::vector<ReviewEntry> m_entries;
    QStringList m_names;              // per entry, its property's name
    QStringList m_propertyNames;      // each name once
    std::vector<std::size_t> m_shown; // the entries that pass the filter, in order
    std::vector<char> m_signed;       // per entry, whether its package is digitally signed
    std::size_t m_signedPackages = 0;
};

} // namespace app
