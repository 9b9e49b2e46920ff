#include "app/commands/ReplaceRecordsCommand.h"

#include "app/grid/DocumentTableModel.h"
#include "app/grid/WorkerPool.h"

#include <QtConcurrent>

namespace app {

ReplaceRecordsCommand::ReplaceRecordsCommand(DocumentTableModel& model,
                                             std::vector<RowRecord> records,
                                             const QString& text)
    : QUndoCommand(text)
    , m_model(model)
    , m_held(std::move(records))
{
    m_inRow.reserve(m_held.size());
    for (const RowRecord& held : m_held) {
        m_inRow.push_back(held.Row < model.documents().RowCount() ? &model.documents().RecordAt(held.Row)
                                                                  : nullptr);
    }
}

ReplaceRecordsCommand::~ReplaceRecordsCommand()
{
    std::vector<std::unique_ptr<engine::DocumentRecord>> records;
    records.reserve(m_held.size());
    for (RowRecord& held : m_held) {
        records.push_back(std::move(held.Record));
    }
    FreeInBackground(std::move(records));
}

void ReplaceRecordsCommand::redo()
{
    exchange();
}

void ReplaceRecordsCommand::undo()
{
    exchange();
}

void ReplaceRecordsCommand::exchange()
{
    DocumentTableModel::UpdateBlock block(m_model);
    for (std::size_t i = 0; i < m_held.size(); ++i) {
        RowRecord& held = m_held[i];
        if (held.Row >= m_model.documents().RowCount() ||
            &m_model.documents().RecordAt(held.Row) != m_inRow[i]) {
            continue;
        }
        m_inRow[i] = held.Record.get();
        held.Record = m_model.exchangeRecord(held.Row, std::move(held.Record));
    }
}

void FreeInBackground(std::vector<std::unique_ptr<engine::DocumentRecord>> records)
{
    if (!records.empty()) {
        [[maybe_unused]] const QFuture<void> freed = QtConcurrent::run(&WorkerPool(), [old = std::move(records)] {});
    }
}

} // namespace app
