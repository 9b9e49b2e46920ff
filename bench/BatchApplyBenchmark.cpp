// Batch Modify on 10,000 rows: the undoable apply (one step holding every record's previous texts
// and flags) against the floor of staging the same values straight on the records, and the same
// apply on the window's grid model, where it must reach the view as one change notification.
#include "app/grid/DocumentTableModel.h"
#include "editing/BatchValues.h"
#include "editing/RecordEdits.h"
#include "engine/record/DocumentList.h"
#include "engine/record/StageValue.h"

#include <benchmark/benchmark.h>

#include <QUndoStack>

#include <string>

namespace {

constexpr std::size_t kRows = 10000;

editing::BatchValues SomeValues()
{
    return {{0, "Quarterly review"},
            {2, "Finance team"},
            {6, "12"},
            {9, "2024-03-01 09:30:00"},
            {15, "Velmora Ltd"}};
}

void FillRows(engine::DocumentList& rows)
{
    for (std::size_t i = 0; i < kRows; ++i) {
        engine::DocumentRecord& record = rows.AppendRow();
        record.FullPath = "/data/deck" + std::to_string(i) + ".pptx";
        record.Value(0) = "Old title " + std::to_string(i);
        record.Value(2) = "Someone";
        rows.SetCheckState(i, engine::kChecked);
    }
}

void BM_PlainAssign(benchmark::State& state)
{
    engine::VectorDocumentList rows;
    FillRows(rows);
    const editing::BatchValues values = SomeValues();
    for (auto _ : state) {
        for (std::size_t row = 0; row < rows.RowCount(); ++row) {
            for (const editing::BatchValue& value : values) {
                engine::StageValue(rows.RecordAt(row), value.Property, value.Value,
                                   engine::StageRule::FlagEvenIfEqual);
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRows));
}

// 10,000 checked rows with an undo stack over them.
struct UndoableRows
{
    engine::VectorDocumentList rows;
    QUndoStack stack;
    editing::RecordEdits edits{rows, stack};

    UndoableRows() { FillRows(rows); }
};

void BM_UndoableApply(benchmark::State& state)
{
    UndoableRows fixture;
    for (auto _ : state) {
        fixture.edits.applyBatch(SomeValues(), state.range(0) != 0);
        state.PauseTiming();
        fixture.stack.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRows));
}

void BM_UndoOfApply(benchmark::State& state)
{
    UndoableRows fixture;
    fixture.edits.applyBatch(SomeValues(), false);
    for (auto _ : state) {
        fixture.stack.undo();
        state.PauseTiming();
        fixture.stack.redo();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRows));
}

void BM_UndoableApplyOnGridModel(benchmark::State& state)
{
    app::DocumentTableModel model;
    model.setColumns(std::vector<app::ColumnSetting>(engine::kColumnCount));
    FillRows(model);
    QUndoStack stack;
    editing::RecordEdits edits(model, stack);
    int notifications = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&notifications] { ++notifications; });
    for (auto _ : state) {
        notifications = 0;
        edits.applyBatch(SomeValues(), false);
        state.PauseTiming();
        if (notifications != 1) {
            state.SkipWithError("the apply did not reach the view as exactly one change");
        }
        stack.clear();
        state.ResumeTiming();
    }
    state.counters["notifications"] = notifications;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRows));
}

} // namespace

BENCHMARK(BM_PlainAssign)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoableApply)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoOfApply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoableApplyOnGridModel)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
