#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <optional>

class QLabel;
class QStatusBar;
class QTimer;

namespace app {

class DocumentGrid;
class DocumentSortFilterModel;
class DocumentTableModel;

// What the status bar counts.
struct GridCounts
{
    std::size_t Rows = 0;    // the rows counted: every row, or those a filter shows
    std::size_t Checked = 0; // of those rows
    // Every row with a pending change, also a row the filter hides and a row whose open editor
    // holds a text not stored yet.
    std::size_t Modified = 0;
    std::size_t ModifiedHidden = 0; // of Modified, the rows the filter hides
    // Of the rows counted, those whose last save failed or was refused because another program has
    // their package open: an error on a row that keeps its changes; they wait for the next save.
    std::size_t NotSaved = 0;
    std::size_t Unreadable = 0;         // of the rows counted, those with an error and no changes
    std::optional<std::size_t> OfTotal; // while a filter is set: every row
};

// The status bar's counts: "N packages, C checked, M modified" (", S not saved" and
// ", E unreadable" when any), or "V of N packages shown, ..." with the counts of the rows shown
// while a filter is set, kept right after every change of the rows and of an open cell editor's
// text. Changes are counted once per turn of the event loop, so a command that changes many rows
// costs one count.
class GridStatus : public QObject
{
    Q_OBJECT

public:
    GridStatus(DocumentTableModel& model, DocumentSortFilterModel& view, DocumentGrid& grid, QStatusBar& bar);

    // The counts as the status bar shows them now (counted afresh if a change is pending).
    [[nodiscard]] QString text();

private:
    void schedule();
    void count();

    DocumentTableModel& m_model;
    DocumentSortFilterModel& m_view;
    DocumentGrid& m_grid;
    QLabel* m_label = nullptr;
    QTimer* m_timer = nullptr;
};

// "N packages, C checked, M modified", with " (H hidden by the filter)" after M when H > 0,
// ", S not saved" when S > 0 and ", E unreadable" when E > 0; with OfTotal
// "N of T packages shown, C checked, ...".
[[nodiscard]] QString CountsText(const GridCounts& counts);

} // namespace app
