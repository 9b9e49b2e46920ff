#pragma once

#include "editing/BatchValues.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QPushButton;

namespace editing {

class BatchListModel;
class FocusEditView;
class RecordEdits;

// The Batch Modify dialog: the seventeen properties with a check box and a value each, applied to
// every document row or to the checked ones as one undoable step. Each showing starts from an empty,
// unchecked list.
class TfmModify : public QDialog
{
    Q_OBJECT

public:
    explicit TfmModify(RecordEdits& edits, QWidget* parent = nullptr);

    void FillBatchList();

    [[nodiscard]] BatchListModel& list() const { return *m_list; }

    // Asks which instant a local time the clocks show twice means (the hour repeated when they go
    // back): the record's text of the chosen instant, std::nullopt to apply nothing. Without one,
    // such a time is applied as typed.
    using RepeatedTimeChooser = std::function<std::optional<std::string>(const std::string& typed)>;

    void setRepeatedTimeChooser(RepeatedTimeChooser chooser) { m_chooseRepeatedTime = std::move(chooser); }

signals:
    // A value the value rule refuses, in its editor or when applying: nothing is applied and the
    // dialog stays open. Emitted while the dialog works, so a receiver that opens a box connects queued.
    void valueRefused(const QString& message);

public slots:
    void btnCheckAllClick();
    void btnUncheckAllClick();
    void btnAllClick();
    void btnCheckedClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton*
    addButton(QPushButton* button, const char* name, const QString& caption, int top, int height);
    void apply(bool checkedOnly);
    // Replaces each checked date in the hour the clocks show twice by the instant the chooser picks;
    // false when it picked none.
    bool resolveRepeatedTimes();

    RecordEdits& m_edits;
    BatchListModel* m_list = nullptr;
    FocusEditView* m_view = nullptr;
    // While apply commits the open editor: empty, or the refusal of that editor's value.
    std::optional<QString> m_applyRefusal;
    RepeatedTimeChooser m_chooseRepeatedTime;
};

} // namespace editing
