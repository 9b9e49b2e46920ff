#pragma once

#include "editing/RecordEditCommand.h"
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

// One change a command would make to a grid row: Old is the text the row shows now, New the text
// after the command.
struct PreviewEntry
{
    const engine::DocumentRecord* Record = nullptr;
    engine::PendingChange Change;
};

// The pending changes of the given rows, grouped by row in row order; rows without Modified are
// passed over without a look at their properties, so a large grid with few changes is quick.
[[nodiscard]] std::vector<ReviewEntry> CollectReviewEntries(engine::DocumentList& rows,
                                                            const std::vector<std::size_t>& rowIndexes);

// Rows over a vector of changes: File (shown on the first row of each file's group), Property, Old
// value and New value. A property filter narrows the rows shown.
// Made from review entries, it is the review's list: the File cell is checked while the change is
// kept, and what is unchecked stays unchecked while it is filtered out. A digitally signed package
// is marked on its File cells (icon and tooltip), since a save may break its signature; the
// packages are looked at once, when the model is made, never while painting.
// Made from preview entries, it is read-only and opens no package, so that a preview of 100,000
// rows is rebuilt quickly whenever its options change.
// Either way a custom property is named as the grid captions its column ("Custom:NAME"), as the
// tables that import it do.
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
    explicit PendingChangesModel(std::vector<PreviewEntry> entries, QObject* parent = nullptr);

    // Replaces what a read-only model lists.
    void setPreviewEntries(std::vector<PreviewEntry> entries);

    // Each property name that occurs: the catalogue's in catalogue order, then custom ones as met.
    [[nodiscard]] QStringList propertyNames() const { return m_propertyNames; }

    // Shows only the changes of that property; an empty name shows all.
    void setPropertyFilter(const QString& name);

    [[nodiscard]] bool isEmpty() const { return m_entries.empty(); }

    // How many of the listed packages are digitally signed.
    [[nodiscard]] std::size_t signedPackageCount() const { return m_signedPackages; }

    // The unchecked changes per record, in row order; none for a read-only model.
    [[nodiscard]] std::vector<editing::RecordEdit> droppedChanges() const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    // Names the entries' properties, without a string per entry: a preview may list millions.
    void nameProperties();
    [[nodiscard]] QVariant fileData(int row, int role) const;

    [[nodiscard]] bool isSigned(std::size_t entry) const { return !m_signed.empty() && m_signed[entry] != 0; }

    std::vector<PreviewEntry> m_entries;
    bool m_review = false; // made from review entries: checkable, and signed packages marked
    std::vector<engine::DocumentRecord*> m_editable; // review: per entry, the row a take-back changes
    std::vector<char> m_keep;                        // review: per entry, whether the change is kept
    std::vector<int> m_nameOf;                       // per entry, its name's place in m_propertyNames
    QStringList m_propertyNames;                     // each name once
    std::vector<std::size_t> m_shown;                // the entries that pass the filter, in order
    std::vector<char> m_signed;                      // review: per entry, whether its package is signed
    std::size_t m_signedPackages = 0;
};

} // namespace app
