#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;
class QTimer;

namespace app {

class DocumentTableModel;

// The status bar's counts: "N packages, C checked, M modified" (", E unreadable" when any), kept
// right after every change of the rows. Changes are counted once per turn of the event loop, so a
// command that changes many rows costs one count.
class GridStatus : public QObject
{
    Q_OBJECT

public:
    GridStatus(DocumentTableModel& model, QStatusBar& bar);

    // The counts as the status bar shows them now (counted afresh if a change is pending).
    [[nodiscard]] QString text();

private:
    void schedule();
    void count();

    DocumentTableModel& m_model;
    QLabel* m_label = nullptr;
    QTimer* m_timer = nullptr;
};

// "N packages, C checked, M modified", with ", E unreadable" when E > 0.
[[nodiscard]] QString
CountsText(std::size_t rows, std::size_t checked, std::size_t modified, std::size_t unreadable);

} // namespace app
