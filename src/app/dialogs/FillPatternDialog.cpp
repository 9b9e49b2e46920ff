#include "app/dialogs/FillPatternDialog.h"

#include "app/dialogs/PendingChangesModel.h"
#include "app/dialogs/PreviewFooter.h"
#include "editing/QtText.h"
#include "engine/tables/FillValue.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>
#include <regex>

namespace app {

FillPatternDialog::FillPatternDialog(std::vector<const engine::DocumentRecord*> records, QWidget* parent)
    : QDialog(parent)
    , m_records(std::move(records))
    , m_now(engine::NowLocalText())
{
    setObjectName(QStringLiteral("dlgFillPattern"));
    setWindowTitle(QStringLiteral("Fill from Pattern"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_property = new QComboBox(this);
    m_property->setObjectName(QStringLiteral("cbProperty"));
    for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
        m_property->addItem(editing::ToQString(engine::DisplayName(p)));
    }
    form->addRow(QStringLiteral("&Property:"), m_property);
    m_pattern = new QLineEdit(this);
    m_pattern->setObjectName(QStringLiteral("edPattern"));
    m_pattern->setPlaceholderText(QStringLiteral("{stem}, {folder}, {Creator}, {now}, {1}\u2026"));
    form->addRow(QStringLiteral("P&attern:"), m_pattern);
    m_match = new QLineEdit(this);
    m_match->setObjectName(QStringLiteral("edMatch"));
    m_match->setPlaceholderText(
        QStringLiteral("optional: the whole file name must match; groups are {1}..{9}"));
    form->addRow(QStringLiteral("File name &matches:"), m_match);
    layout->addLayout(form);
    const PreviewBody body = AddPreviewBody(*this, *layout);
    m_counts = body.Counts;
    m_changes = body.Changes;
    m_problems = body.Problems;
    const PreviewFooter footer = AddPreviewFooter(*this, *layout, QStringLiteral("lblError"));
    m_error = footer.Message;
    m_apply = footer.Apply;
    connect(m_property, &QComboBox::currentIndexChanged, this, &FillPatternDialog::refresh);
    connect(m_pattern, &QLineEdit::textChanged, this, &FillPatternDialog::refresh);
    connect(m_match, &QLineEdit::textChanged, this, &FillPatternDialog::refresh);
    resize(900, 560);
    refresh();
}

std::size_t FillPatternDialog::property() const
{
    return static_cast<std::size_t>(std::max(0, m_property->currentIndex()));
}

QString FillPatternDialog::evaluate()
{
    m_planned.clear();
    m_rowProblems.assign(m_records.size(), {});
    if (m_records.empty()) {
        return QStringLiteral("Check the rows to fill.");
    }
    const std::string patternText = m_pattern->text().toStdString();
    if (patternText.empty()) {
        return QStringLiteral("Type a pattern.");
    }
    std::optional<engine::FillPattern> pattern;
    try {
        pattern.emplace(patternText);
    } catch (const engine::EBadPattern& e) {
        return editing::ToQString(e.what());
    }
    std::optional<std::regex> match;
    if (!m_match->text().isEmpty()) {
        try {
            match.emplace(m_match->text().toStdString(), std::regex::ECMAScript);
        } catch (const std::regex_error& e) {
            return QStringLiteral("The file name expression cannot be read: %1")
                .arg(editing::ToQString(e.what()));
        }
    } else if (pattern->UsesGroups()) {
        return QStringLiteral("The pattern uses groups {1}..{9}: give a file name expression.");
    }
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        const engine::DocumentRecord& record = *m_records[i];
        if (!record.LastError.empty()) {
            m_rowProblems[i] = record.LastError + "; left as it is";
            continue;
        }
        engine::FillResult result =
            engine::FillValueFor(*pattern, property(), record, match ? &*match : nullptr, m_now);
        if (result.Problem.empty()) {
            m_planned.emplace_back(i, std::move(result.Value));
        } else {
            m_rowProblems[i] =
                result.NameMismatch ? std::move(result.Problem) : result.Problem + "; left as it is";
        }
    }
    if (m_planned.empty()) {
        return QStringLiteral("No checked row can be filled.");
    }
    return {};
}

void FillPatternDialog::refresh()
{
    const QString error = evaluate();
    if (!error.isEmpty()) {
        m_planned.clear();
    }
    // A value equal to what the row shows is planned but changes nothing, so it is not listed.
    std::vector<PreviewEntry> listed;
    const std::size_t p = property();
    for (const auto& [position, value] : m_planned) {
        const engine::DocumentRecord& record = *m_records[position];
        if (record.Value(p) != value) {
            listed.push_back(PreviewEntry{&record, engine::PendingChange{p, record.Value(p), value, {}}});
        }
    }
    QStringList problems;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (!m_rowProblems[i].empty()) {
            problems << editing::ToQString(m_records[i]->FullPath + ": " + m_rowProblems[i]);
        }
    }
    m_problems->clear();
    m_problems->addItems(problems);
    const std::size_t skipped = m_records.size() - m_planned.size();
    m_counts->setText(QStringLiteral("Rows: %1    Left as they are: %2    Values to change: %3")
                          .arg(m_records.size())
                          .arg(error.isEmpty() ? skipped : m_records.size())
                          .arg(listed.size()));
    m_changes->setPreviewEntries(std::move(listed));
    if (!error.isEmpty()) {
        m_error->setText(error);
    } else if (skipped > 0) {
        m_error->setText(
            QStringLiteral("%1 of %2 rows are left as they are.").arg(skipped).arg(m_records.size()));
    } else {
        m_error->clear();
    }
    m_apply->setEnabled(error.isEmpty());
}

} // namespace app
