#pragma once

#include "app/settings/ColumnConfig.h"
#include "engine/record/DocumentList.h"
#include "engine/record/Statistics.h"

#include <QAbstractTableModel>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QUndoStack;

namespace app {

// Header data role: true for the columns that hold a date.
inline constexpr int kDateColumnRole = Qt::UserRole + 1;

// The statistics the grid can show as columns of their own (Options > Show Statistics Columns).
inline constexpr std::array<engine::Statistic, 3> kStatisticColumns = {
    engine::Statistic::Slides, engine::Statistic::Words, engine::Statistic::Application};

// The document grid's rows: one DocumentRecord and a check state per row, in add order. Cell texts
// are asked from CellText whenever the view paints, so the model keeps no copy of any text. Every
// decision (text, marks, editability) is keyed on the column index, never the display position.
// Lives on the UI thread; worker threads fill their own lists and hand the rows over.
class DocumentTableModel : public QAbstractTableModel, public engine::DocumentList
{
    Q_OBJECT

public:
    explicit DocumentTableModel(QObject* parent = nullptr);
    ~DocumentTableModel() override;

    // Replaces the column list (captions, colours, alignment); rows stay.
    void setColumns(std::vector<ColumnSetting> columns);

    [[nodiscard]] const std::vector<ColumnSetting>& columns() const { return m_columns; }

    // While locked the cells cannot be edited: a worker thread is working on copies of the rows.
    void setLocked(bool locked);

    // The history that edits through setData join; without one they are staged at once.
    void setUndoStack(QUndoStack* stack) { m_undoStack = stack; }

    // Takes over rows loaded elsewhere (a worker's list), appended in one insertion.
    void adoptRows(std::vector<engine::VectorDocumentList::Row> rows);
    void clearRows();
    // Sets every row to one check state, with a single change notification.
    void setAllCheckStates(int state);
    // Sets the given rows to one check state, with a single change notification.
    void setCheckStates(const std::vector<std::size_t>& rows, int state);
    // Stores a record computed elsewhere (a reload or a save of a copy) into a row.
    void storeRecord(std::size_t row, engine::DocumentRecord record);
    // Puts another record object into a row and returns the one it held: constant time, for
    // commands that store 100,000 rows at once. Pointers to the old record no longer reach the row.
    [[nodiscard]] std::unique_ptr<engine::DocumentRecord>
    exchangeRecord(std::size_t row, std::unique_ptr<engine::DocumentRecord> record);
    [[nodiscard]] bool anyModified() const;
    // Takes rows out, record and check state, for a step that can put them back; rows holds
    // distinct positions in ascending order, and the rows come back in that order.
    [[nodiscard]] std::vector<engine::VectorDocumentList::Row> takeRows(const std::vector<std::size_t>& rows);
    // Puts rows back so that each ends at its position (ascending, as takeRows had them); the rows
    // now listed keep their order around them.
    void reinsertRows(const std::vector<std::size_t>& positions,
                      std::vector<engine::VectorDocumentList::Row> rows);

    // Read-only columns after the configured ones, one per custom property name of the rows (in the
    // order first met); they follow the rows as they are added, changed and removed.
    void setCustomColumnsShown(bool shown);

    [[nodiscard]] bool customColumnsShown() const { return m_customShown; }

    [[nodiscard]] const std::vector<std::string>& customColumnNames() const { return m_customNames; }

    // Read-only columns of statistics (kStatisticColumns) after the configured ones, before the
    // custom ones.
    void setStatisticColumnsShown(bool shown);

    [[nodiscard]] bool statisticColumnsShown() const { return m_statisticsShown; }

    // What a column after the configured ones shows: a statistic, or the name of a custom property.
    [[nodiscard]] std::optional<engine::Statistic> statisticOfColumn(int column) const;
    [[nodiscard]] const std::string* customNameOfColumn(int column) const;

    // QAbstractTableModel
    // Without the base class's two virtual calls: a sort of the view asks for two indexes per
    // comparison, millions of them for 100,000 rows.
    [[nodiscard]] QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // setData was given a text the value rule refuses (a local time the clocks skip); message says
    // why. Emitted from inside an editor's commit, so a receiver that opens a box connects queued.
    void valueRefused(const QString& message);
    // setData was given a local time the clocks show twice (the hour repeated when they go back), which
    // names two instants; nothing was stored. The receiver asks which one is meant and stores it
    // through setData; emitted from inside an editor's commit, so it connects queued.
    void repeatedLocalTimeGiven(const QPersistentModelIndex& cell, const QString& text);

public:

    // The rows as the engine reads and changes them (records and check states by row number);
    // rowCount, data and setData above are what views use.
    [[nodiscard]] engine::DocumentList& documents() { return *this; }

    [[nodiscard]] const engine::DocumentList& documents() const { return *this; }

    // Brackets a batch of changes; the view is told once, when the outermost block ends.
    using UpdateBlock = engine::UpdateScope;

private:
    // engine::DocumentList, reached through documents() or any DocumentList reference, so that
    // its names are never mistaken for the Qt model's (RowCount for rowCount).
    engine::DocumentRecord& AppendRow() override;

    [[nodiscard]] std::size_t RowCount() const override { return m_rows.size(); }

    [[nodiscard]] engine::DocumentRecord& RecordAt(std::size_t row) override;
    [[nodiscard]] const engine::DocumentRecord& RecordAt(std::size_t row) const override;
    [[nodiscard]] int CheckState(std::size_t row) const override;
    void SetCheckState(std::size_t row, int state) override;
    void DeleteRow(std::size_t row) override;
    void BeginUpdate() override;
    void EndUpdate() override;

    QVariant cellData(const engine::DocumentRecord& record, int row, int column, int role) const;
    void rowChanged(int row, int firstColumn, int lastColumn);
    void refreshCustomColumns();
    [[nodiscard]] QVariant customCellData(const engine::DocumentRecord& record, int column, int role) const;
    [[nodiscard]] int firstCustomColumn() const;
    [[nodiscard]] QVariant statisticCellData(const engine::DocumentRecord& record,
                                             engine::Statistic statistic,
                                             int role) const;
    [[nodiscard]] QVariant customHeaderData(std::size_t customColumn, int role) const;

    std::vector<ColumnSetting> m_columns;
    std::vector<engine::VectorDocumentList::Row> m_rows;
    int m_updateDepth = 0;
    bool m_locked = false;
    QUndoStack* m_undoStack = nullptr;
    bool m_customShown = false;
    bool m_statisticsShown = false;
    std::vector<std::string> m_customNames;
};

} // namespace app
