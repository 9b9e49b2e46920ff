#pragma once

#include "engine/record/DocumentRecord.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The list of rows the engine fills and walks. The Qt grid model implements it for the window;
// the command-line tool and the tests use VectorDocumentList.
namespace engine {

inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 2;

class DocumentList
{
public:
    virtual ~DocumentList() = default;

    // Appends a row at the end and returns its fresh, empty record (unchecked).
    virtual DocumentRecord& AppendRow() = 0;
    [[nodiscard]] virtual std::size_t RowCount() const = 0;
    [[nodiscard]] virtual DocumentRecord& RecordAt(std::size_t row) = 0;
    [[nodiscard]] virtual const DocumentRecord& RecordAt(std::size_t row) const = 0;
    [[nodiscard]] virtual int CheckState(std::size_t row) const = 0;
    virtual void SetCheckState(std::size_t row, int state) = 0;
    virtual void DeleteRow(std::size_t row) = 0;

    // Bracket a batch of changes so that a view redraws once; the calls nest.
    virtual void BeginUpdate() {}

    virtual void EndUpdate() {}

    // Changes whenever a record object leaves the list (a row deleted or taken out, a row given
    // another record) or comes back. While it stays the same, every record that a row held still
    // is one, so a pointer taken to it is known to reach a row without walking the list.
    [[nodiscard]] std::uint64_t RecordSetVersion() const { return m_recordSetVersion; }

protected:
    void RecordSetChanged() { ++m_recordSetVersion; }

private:
    std::uint64_t m_recordSetVersion = 0;
};

// Brackets a batch of changes to a list for a scope, also when the scope ends by an exception.
class UpdateScope
{
public:
    explicit UpdateScope(DocumentList& list)
        : m_list(list)
    {
        m_list.BeginUpdate();
    }

    ~UpdateScope() { m_list.EndUpdate(); }

    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    DocumentList& m_list;
};

// A plain list of rows; records keep their addresses for as long as they are in the list.
class VectorDocumentList : public DocumentList
{
public:
    DocumentRecord& AppendRow() override;

    [[nodiscard]] std::size_t RowCount() const override { return m_rows.size(); }

    [[nodiscard]] DocumentRecord& RecordAt(std::size_t row) override { return *m_rows.at(row).record; }

    [[nodiscard]] const DocumentRecord& RecordAt(std::size_t row) const override
    {
        return *m_rows.at(row).record;
    }

    [[nodiscard]] int CheckState(std::size_t row) const override { return m_rows.at(row).checkState; }

    void SetCheckState(std::size_t row, int state) override { m_rows.at(row).checkState = state; }

    void DeleteRow(std::size_t row) override;

    // Hands the rows over (record and check state) and leaves the list empty; used to move rows
    // loaded on a worker thread into a view's model on its own thread.
    struct Row
    {
        std::unique_ptr<DocumentRecord> record;
        int checkState = kUnchecked;
    };

    std::vector<Row> TakeRows();
    // Appends rows another list handed over with TakeRows, records and check states as they are.
    void AppendRows(std::vector<Row>&& rows);

private:
    std::vector<Row> m_rows;
};

} // namespace engine
