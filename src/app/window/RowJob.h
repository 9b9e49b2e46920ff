#pragma once

#include "app/commands/ReplaceRecordsCommand.h"
#include "app/grid/DocumentTableModel.h"
#include "engine/package/LoadDocument.h"
#include "engine/record/DocumentOutcome.h"
#include "engine/record/DocumentRecord.h"

#include <memory>
#include <vector>

namespace app {

// Copies of rows that a worker loads or saves, so that the grid can keep painting the originals;
// the results are stored back into the rows when the command ends. With 100,000 rows copying and
// freeing the records takes long enough to freeze the window, so both happen on worker threads:
// the copies are taken by the worker (while a long command runs nothing edits, adds or removes
// rows, and the UI thread only reads them), and the replaced records are freed on a pool thread.
// Storing back hands over the records themselves: a row then holds a new record object, so either
// the undo history is cleared or the replaced records go to an undo step (takeDone).
struct RowJob
{
    const DocumentTableModel& model;
    std::vector<std::size_t> rows;
    std::vector<std::unique_ptr<engine::DocumentRecord>> records;
    std::vector<engine::DocumentOutcome> outcomes;
    std::vector<char> done;

    RowJob(const DocumentTableModel& source, std::vector<std::size_t> selected)
        : model(source)
        , rows(std::move(selected))
    {}

    // On the worker, before copyRows: the rows to work on after all.
    void select(std::vector<std::size_t> selected) { rows = std::move(selected); }

    // On the worker, before anything else but select.
    void copyRows()
    {
        outcomes.resize(rows.size());
        done.assign(rows.size(), 0);
        records.reserve(rows.size());
        for (std::size_t row : rows) {
            records.push_back(std::make_unique<engine::DocumentRecord>(model.documents().RecordAt(row)));
        }
    }

    // On the worker: reads copy i from its package again, its size too (the package may have been
    // rewritten since it was added).
    void reread(std::size_t i)
    {
        engine::DocumentRecord& copy = *records[i];
        outcomes[i] = engine::LoadDocument(copy);
        engine::RefreshFileSize(copy);
        done[i] = 1;
    }

    // On the UI thread, inside the model's update block that ends the command.
    void storeInto(DocumentTableModel& target)
    {
        for (std::size_t i = 0; i < rows.size() && i < records.size(); ++i) {
            if (done[i] != 0) {
                records[i] = target.exchangeRecord(rows[i], std::move(records[i]));
            }
        }
        FreeInBackground(std::move(records));
    }

    // The records the worker finished, for a ReplaceRecordsCommand that stores them; the others
    // are freed.
    [[nodiscard]] std::vector<RowRecord> takeDone()
    {
        std::vector<RowRecord> finished;
        std::vector<std::unique_ptr<engine::DocumentRecord>> unused;
        for (std::size_t i = 0; i < rows.size() && i < records.size(); ++i) {
            if (done[i] != 0) {
                finished.push_back({rows[i], std::move(records[i])});
            } else {
                unused.push_back(std::move(records[i]));
            }
        }
        records.clear();
        FreeInBackground(std::move(unused));
        return finished;
    }

    [[nodiscard]] engine::DocumentRecord& record(std::size_t i) { return *records[i]; }
};

} // namespace app
