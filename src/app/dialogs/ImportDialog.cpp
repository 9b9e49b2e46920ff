#include "app/dialogs/ImportDialog.h"

#include "app/dialogs/PendingChangesModel.h"
#include "app/dialogs/PreviewFooter.h"
#include "editing/QtText.h"
#include "engine/tables/ImportPlan.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

ImportDialog::ImportDialog(engine::ImportTable table,
                           std::vector<const engine::DocumentRecord*> records,
                           std::filesystem::path base,
                           QWidget* parent)
    : QDialog(parent)
    , m_table(std::move(table))
    , m_records(std::move(records))
    , m_base(std::move(base))
{
    setObjectName(QStringLiteral("dlgImport"));
    setWindowTitle(QStringLiteral("Import %1").arg(editing::ToQString(m_table.Source)));
    auto* layout = new QVBoxLayout(this);
    const PreviewBody body = AddPreviewBody(*this, *layout);
    m_counts = body.Counts;
    m_changes = body.Changes;
    m_problems = body.Problems;
    m_emptyClears = new QCheckBox(QStringLiteral("Empty cells clear the property"), this);
    m_emptyClears->setObjectName(QStringLiteral("cbEmptyClears"));
    layout->addWidget(m_emptyClears);
    m_skipInvalid = new QCheckBox(QStringLiteral("Skip invalid cells"), this);
    m_skipInvalid->setObjectName(QStringLiteral("cbSkipInvalid"));
    layout->addWidget(m_skipInvalid);
    m_ignoreUnknown = new QCheckBox(QStringLiteral("Leave out unknown columns"), this);
    m_ignoreUnknown->setObjectName(QStringLiteral("cbIgnoreUnknownColumns"));
    layout->addWidget(m_ignoreUnknown);
    const PreviewFooter footer = AddPreviewFooter(*this, *layout, QStringLiteral("lblBlocked"));
    m_blocked = footer.Message;
    m_apply = footer.Apply;
    connect(m_emptyClears, &QCheckBox::toggled, this, &ImportDialog::refresh);
    connect(m_skipInvalid, &QCheckBox::toggled, this, &ImportDialog::refresh);
    connect(m_ignoreUnknown, &QCheckBox::toggled, this, &ImportDialog::refresh);
    resize(900, 560);
    refresh();
}

void ImportDialog::refresh()
{
    m_planned.clear();
    m_problems->clear();
    // The old list goes first, so that two lists of a large table are never held at once.
    m_changes->setPreviewEntries({});
    QString blocked;
    std::size_t unmatched = 0;
    std::size_t invalid = 0;
    std::vector<PreviewEntry> listed;
    try {
        const engine::ImportSheet sheet = engine::InterpretImportTable(
            m_table, engine::ImportOptions{m_emptyClears->isChecked(), m_ignoreUnknown->isChecked()});
        engine::PlannedImport plan = engine::PlanImport(sheet, m_records, m_base);
        invalid = sheet.Problems.size() + plan.InvalidCustomCells.size();
        unmatched = plan.Match.Unmatched.size() + plan.Match.Missing.size();
        const std::vector<std::string>* lists[] = {&sheet.Warnings, &sheet.Problems, &plan.Match.Missing,
                                                   &plan.Match.Unmatched};
        for (const std::vector<std::string>* lines : lists) {
            for (const std::string& line : *lines) {
                m_problems->addItem(editing::ToQString(line));
            }
        }
        for (const std::size_t index : plan.Unreadable) {
            const engine::DocumentRecord& record = *m_records[index];
            m_problems->addItem(editing::ToQString(record.FullPath + ": " + record.LastError + "; left as it is"));
        }
        for (const std::string& line : plan.InvalidCustomCells) {
            m_problems->addItem(editing::ToQString(line));
        }
        // Room for every change, so that a list of millions is not moved as it grows.
        std::size_t changes = 0;
        for (const engine::PlannedRecord& planned : plan.Records) {
            changes += planned.Preview.size();
        }
        listed.reserve(changes);
        for (engine::PlannedRecord& planned : plan.Records) {
            for (engine::PendingChange& change : planned.Preview) {
                listed.push_back(PreviewEntry{m_records[planned.Record], std::move(change)});
            }
            planned.Preview.clear();
        }
        m_planned = std::move(plan.Records);
        if (invalid > 0 && !m_skipInvalid->isChecked()) {
            blocked =
                QStringLiteral("Nothing can be imported while %1 cell(s) are invalid: correct the table "
                               "or check \"Skip invalid cells\".")
                    .arg(invalid);
        } else if (m_planned.empty()) {
            blocked = QStringLiteral("No row of the table names a package of the list.");
        }
    } catch (const engine::EImportError& e) {
        m_problems->addItem(editing::ToQString(e.what()));
        blocked = editing::ToQString(e.what());
    }
    const std::size_t matched = m_planned.size();
    if (!blocked.isEmpty()) {
        m_planned.clear();
        listed.clear();
    }
    m_counts->setText(QStringLiteral("Rows matched: %1    Unmatched: %2    Invalid cells: %3    "
                                     "Values to change: %4")
                          .arg(matched)
                          .arg(unmatched)
                          .arg(invalid)
                          .arg(listed.size()));
    m_changes->setPreviewEntries(std::move(listed));
    m_blocked->setText(blocked);
    m_blocked->setVisible(!blocked.isEmpty());
    m_apply->setEnabled(blocked.isEmpty());
}

} // namespace app
