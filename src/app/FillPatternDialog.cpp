#include "app/FillPatternDialog.h"

#include "app/PreviewFooter.h"
#include "editing/QtText.h"
#include "engine/tables/FillValue.h"

#include <QBrush>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
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
    m_preview = new QTableWidget(0, 2, this);
    m_preview->setObjectName(QStringLiteral("tblPreview"));
    m_preview->setHorizontalHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Value")});
    m_preview->horizontalHeader()->setStretchLastSection(true);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_preview, 1);
    const PreviewFooter footer = AddPreviewFooter(*this, *layout, QStringLiteral("lblError"));
    m_error = footer.Message;
    m_apply = footer.Apply;
    connect(m_property, &QComboBox::currentIndexChanged, this, &FillPatternDialog::refresh);
    connect(m_pattern, &QLineEdit::textChanged, this, &FillPatternDialog::refresh);
    connect(m_match, &QLineEdit::textChanged, this, &FillPatternDialog::refresh);
    resize(640, 480);
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
    const std::size_t shown = std::min<std::size_t>(m_records.size(), kPreviewRows);
    m_preview->setRowCount(static_cast<int>(shown));
    auto planned = m_planned.begin();
    for (std::size_t i = 0; i < shown; ++i) {
        const int row = static_cast<int>(i);
        m_preview->setItem(row, 0, new QTableWidgetItem(editing::ToQString(m_records[i]->FileName)));
        auto* value = new QTableWidgetItem;
        if (planned != m_planned.end() && planned->first == i) {
            value->setText(editing::ToQString(planned->second));
            ++planned;
        } else {
            value->setText(editing::ToQString(m_rowProblems[i]));
            value->setForeground(QBrush(Qt::red));
        }
        m_preview->setItem(row, 1, value);
    }
    const std::size_t skipped = m_records.size() - m_planned.size();
    if (!error.isEmpty()) {
        m_error->setText(error);
        m_planned.clear();
    } else if (skipped > 0) {
        m_error->setText(
            QStringLiteral("%1 of %2 rows are left as they are.").arg(skipped).arg(m_records.size()));
    } else {
        m_error->clear();
    }
    m_apply->setEnabled(error.isEmpty());
}

} // namespace app
