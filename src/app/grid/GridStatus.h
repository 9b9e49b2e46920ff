#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <optional>

class QLabel;
class QStatusBar;
class QTimer;

namespace app {

class DocumentSortFilterModel;
class DocumentTableModel;

// The status bar's counts: "N packages, C checked, M modified" (", E unreadable" when any), or
// "V of N packages shown, ..." with the counts of the rows shown while a filter is set, kept right
// after every change of the rows. Changes are counted once per turn of the event loop, so a
// command that changes many rows costs one count.
class GridStatus : public QObject
{
    Q_OBJECT

public:
    GridStatus(DocumentTableModel& model, DocumentSortFilterModel& view, QStatusBar& bar);

    // The counts as the status bar shows them now (counted afresh if a change is pending).
    [[nodiscard]] QString text();

private:
    void schedule();
    void count();

    DocumentTableModel& m_model;
    DocumentSortFilterModel& m_view;
    QLabel* m_label = nullptr;
    QTimer* m_timer = nullptr;
};

// "N packages, C checked, M modified", with ", E unreadable" when E > 0; with ofTotal
// "N of T packages shown, C checked, ...".
[[nodiscard]] QString CountsText(std::size_t rows,
                                 std::size_t checked,
                                 std::size_t modified,
                                 std::size_t unreadable,
                                 std::optional<std::size_t> ofTotal = std::nullopt);

} // namespace app
