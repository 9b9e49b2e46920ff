#include "editing/CellEditCommand.h"

#include "editing/QtText.h"
#include "editing/RecordIdentity.h"

namespace editing {

CellEditCommand::CellEditCommand(engine::DocumentList& rows,
                                 engine::DocumentRecord& record,
                                 std::size_t p,
                                 std::string text)
    : m_rows(rows)
    , m_record(&record)
    , m_property(p)
    , m_newText(std::move(text))
    , m_oldText(record.Value(p))
    , m_oldChanged(record.Changed(p))
    , m_oldModified(record.Modified)
{
    const std::string_view name = engine::DisplayName(p);
    setText(QStringLiteral("Edit %1").arg(ToQString(name)));
}

void CellEditCommand::redo()
{
    store(m_newText, true, true);
}

void CellEditCommand::undo()
{
    store(m_oldText, m_oldChanged, m_oldModified);
}

void CellEditCommand::store(const std::string& text, bool changed, bool modified)
{
    if (!IsListed(m_rows, m_record)) {
        return;
    }
    m_record->Value(m_property) = text;
    m_record->SetChanged(m_property, changed);
    m_record->Modified = modified;
    RepaintRows(m_rows);
}

} // namespace editing
