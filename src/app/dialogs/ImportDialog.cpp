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
    m_plannedCustom.clear();
    m_problems->clear();
    // The old list goes first, so that two lists of a large table are never held at once.
    m_changes->setPreviewEntries({});
    QString blocked;
    std::size_t matched = 0;
    std::size_t unmatched = 0;
    std::size_t invalid = 0;
    std::vector<PreviewEntry> listed;
    try {
        const engine::ImportSheet sheet = engine::InterpretImportTable(
            m_table, engine::ImportOptions{m_emptyClears->isChecked(), m_ignoreUnknown->isChecked()});
        const engine::ImportMatch match = engine::MatchImportRows(sheet, m_records, m_base);
        invalid = sheet.Problems.size();
        unmatched = match.Unmatched.size() + match.Missing.size();
        for (const std::vector<std::string>* lines :
             {&sheet.Warnings, &sheet.Problems, &match.Missing, &match.Unmatched}) {
            for (const std::string& line : *lines) {
                m_problems->addItem(editing::ToQString(line));
            }
        }
        std::vector<std::string> customProblems;
        // Room for every value the table holds, so that a list of millions is not moved as it grows;
        // the pages never written cost nothing.
        std::size_t mostChanges = 0;
        for (const auto& [sheetRow, recordIndex] : match.Pairs) {
            mostChanges += sheet.Rows[sheetRow].Values.size() + sheet.Rows[sheetRow].Custom.size();
        }
        listed.reserve(mostChanges);
        for (const auto& [sheetRow, recordIndex] : match.Pairs) {
            const engine::DocumentRecord& record = *m_records[recordIndex];
            if (!record.LastError.empty()) {
                m_problems->addItem(
                    editing::ToQString(record.FullPath + ": " + record.LastError + "; left as it is"));
                continue;
            }
            ++matched;
            const engine::ImportRow& row = sheet.Rows[sheetRow];
            // Tried on a copy, so that a custom value its property's type cannot hold is found now.
            engine::DocumentRecord trial = record;
            std::vector<engine::PendingChange> applied =
                engine::ApplyImportRow(sheet, row, trial, customProblems);
            editing::BatchValues values;
            for (const engine::ImportValue& value : row.Values) {
                values.push_back(editing::BatchValue{value.Property, value.Text});
            }
            m_planned.emplace_back(recordIndex, std::move(values));
            std::vector<engine::CustomChange> custom;
            for (engine::CustomChange& change : engine::ImportCustomChanges(row, record)) {
                const bool valid = std::any_of(applied.begin(), applied.end(), [&](const auto& done) {
                    return done.CustomName == change.Name;
                });
                if (valid) {
                    custom.push_back(std::move(change));
                }
            }
            if (!custom.empty()) {
                m_plannedCustom.emplace_back(recordIndex, std::move(custom));
            }
            for (engine::PendingChange& change : applied) {
                listed.push_back(PreviewEntry{&record, std::move(change)});
            }
        }
        for (const std::string& line : customProblems) {
            m_problems->addItem(editing::ToQString(line));
        }
        invalid += customProblems.size();
        if (invalid > 0 && !m_skipInvalid->isChecked()) {
            blocked =
                QStringLiteral("Nothing can be imported while %1 cell(s) are invalid: correct the table "
                               "or check \"Skip invalid cells\".")
                    .arg(invalid);
        } else if (matched == 0) {
            blocked = QStringLiteral("No row of the table names a package of the list.");
        }
    } catch (const engine::EImportError& e) {
        m_problems->addItem(editing::ToQString(e.what()));
        blocked = editing::ToQString(e.what());
    }
    if (!blocked.isEmpty()) {
        m_planned.clear();
        m_plannedCustom.clear();
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
