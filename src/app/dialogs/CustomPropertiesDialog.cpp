#include "app/dialogs/CustomPropertiesDialog.h"

#include "app/dialogs/Dialogs.h"
#include "editing/QtText.h"
#include "engine/record/DocumentRecord.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>
#include <unordered_map>
#include <unordered_set>

namespace app {

namespace {

enum Column
{
    NameColumn,
    TypeColumn,
    ValueColumn,
};

// Kept on the name cell: what the row held when the dialog opened (empty name: a new row; empty
// value where the packages differ, so that an untouched empty cell is no change).
constexpr int kOriginalNameRole = Qt::UserRole;
constexpr int kOriginalTypeRole = Qt::UserRole + 1;
constexpr int kOriginalValueRole = Qt::UserRole + 2;
// Kept on the value cell: the packages hold different values (or not all of them hold the name).
constexpr int kDiffersRole = Qt::UserRole + 3;

// The packages named by file, so that a long list does not make the tooltip taller than the screen.
constexpr std::size_t kPathsInTooltip = 10;

QString Q(const std::string& text)
{
    return editing::ToQString(text);
}

QString DiffersMark()
{
    return QStringLiteral("(differs)");
}

// A name as the shown packages hold it: the first holder's property, whether every package holds
// it alike, and whether any holds it as a type the program does not edit.
struct SharedProperty
{
    engine::CustomProperty First;
    std::size_t Holders = 0;
    bool Alike = true;
    bool AnyOther = false;
};

std::vector<SharedProperty> SharedProperties(const std::vector<const engine::DocumentRecord*>& records)
{
    std::vector<SharedProperty> shared;
    std::unordered_map<std::string, std::size_t> placeOf;
    for (const engine::DocumentRecord* record : records) {
        std::unordered_set<std::string> inRecord; // a name held twice counts as its first
        for (const engine::CustomProperty& property : record->Custom.Items) {
            const std::string key = engine::CustomNameKey(property.Name);
            if (!inRecord.insert(key).second) {
                continue;
            }
            const auto [at, added] = placeOf.try_emplace(key, shared.size());
            if (added) {
                shared.push_back({property, 0, true, false});
            }
            SharedProperty& entry = shared[at->second];
            ++entry.Holders;
            entry.Alike =
                entry.Alike && property.Type == entry.First.Type && property.Value == entry.First.Value;
            entry.AnyOther = entry.AnyOther || engine::KindOfType(property.Type) == engine::CustomKind::Other;
        }
    }
    for (SharedProperty& entry : shared) {
        entry.Alike = entry.Alike && entry.Holders == records.size();
    }
    return shared;
}

// Marks an empty value cell whose packages differ with "(differs)", painted as a placeholder and
// offered as the editor's, so that it never reads as a value.
class DiffersDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget*
    createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line != nullptr && index.data(kDiffersRole).toBool()) {
            line->setPlaceholderText(DiffersMark());
        }
        return editor;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->text.isEmpty() && index.data(kDiffersRole).toBool()) {
            option->text = DiffersMark();
            option->features |= QStyleOptionViewItem::HasDisplay;
            option->font.setItalic(true);
            option->palette.setColor(QPalette::Text, option->palette.color(QPalette::PlaceholderText));
        }
    }
};

} // namespace

CustomPropertiesDialog::CustomPropertiesDialog(const engine::DocumentList& documents,
                                               std::vector<std::size_t> rows,
                                               std::vector<std::size_t> checkedRows,
                                               QWidget* parent)
    : QDialog(parent)
    , m_documents(documents)
    , m_checkedRows(std::move(checkedRows))
{
    setObjectName(QStringLiteral("CustomPropertiesDialog"));
    setWindowTitle(QStringLiteral("Custom Properties"));
    resize(560, 360);
    auto* layout = new QVBoxLayout(this);
    auto* scope = new QHBoxLayout;
    m_scope = new QLabel(this);
    m_scope->setObjectName(QStringLiteral("lblCustomScope"));
    scope->addWidget(m_scope, 1);
    m_useChecked = new QPushButton(
        QStringLiteral("Use the Checked Rows (%1)").arg(static_cast<qsizetype>(m_checkedRows.size())), this);
    m_useChecked->setObjectName(QStringLiteral("btnCheckedRows"));
    m_useChecked->setToolTip(QStringLiteral("Show and change the custom properties of the checked rows "
                                            "the filter shows instead"));
    connect(m_useChecked, &QPushButton::clicked, this, &CustomPropertiesDialog::useCheckedRows);
    scope->addWidget(m_useChecked);
    layout->addLayout(scope);

    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("tblCustomProperties"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Value")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setItemDelegateForColumn(ValueColumn, new DiffersDelegate(m_table));
    layout->addWidget(m_table);

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("Add"), this);
    add->setObjectName(QStringLiteral("btnAddCustom"));
    connect(add, &QPushButton::clicked, this, &CustomPropertiesDialog::addRow);
    auto* remove = new QPushButton(QStringLiteral("Remove"), this);
    remove->setObjectName(QStringLiteral("btnRemoveCustom"));
    connect(remove, &QPushButton::clicked, this, &CustomPropertiesDialog::removeSelectedRows);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &CustomPropertiesDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->addWidget(box);
    layout->addLayout(buttons);

    showRows(std::move(rows));
}

void CustomPropertiesDialog::showRows(std::vector<std::size_t> rows)
{
    m_rows = std::move(rows);
    m_removed.clear();
    m_table->setRowCount(0);
    std::vector<const engine::DocumentRecord*> records;
    records.reserve(m_rows.size());
    for (std::size_t row : m_rows) {
        records.push_back(&m_documents.RecordAt(row));
    }
    for (const SharedProperty& entry : SharedProperties(records)) {
        appendRow(entry.First, false, !entry.Alike, entry.AnyOther);
    }

    QStringList paths;
    for (std::size_t i = 0; i < records.size() && i < kPathsInTooltip; ++i) {
        paths << Q(records[i]->FullPath);
    }
    if (records.size() > kPathsInTooltip) {
        paths << QStringLiteral("and %1 more").arg(static_cast<qsizetype>(records.size() - kPathsInTooltip));
    }
    m_scope->setText(
        records.size() == 1
            ? QStringLiteral("Changes apply to %1").arg(Q(records.front()->FileName))
            : QStringLiteral("Changes apply to %1 packages").arg(static_cast<qsizetype>(records.size())));
    m_scope->setToolTip(paths.join(QLatin1Char('\n')));
    m_useChecked->setEnabled(!m_checkedRows.empty() && m_checkedRows != m_rows);
}

void CustomPropertiesDialog::appendRow(const engine::CustomProperty& property,
                                       bool isNew,
                                       bool differs,
                                       bool readOnly)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const bool editable = isNew || !readOnly;

    auto* name = new QTableWidgetItem(Q(property.Name));
    name->setData(kOriginalNameRole, isNew ? QString() : Q(property.Name));
    name->setData(kOriginalTypeRole, Q(property.Type));
    name->setData(kOriginalValueRole, differs ? QString() : Q(property.Value));
    if (!isNew) {
        name->setFlags(name->flags() & ~Qt::ItemIsEditable); // a name is changed by removing and adding
    }
    m_table->setItem(row, NameColumn, name);

    auto* value = new QTableWidgetItem(differs ? QString() : Q(property.Value));
    if (differs) {
        value->setData(kDiffersRole, true);
        value->setToolTip(editable
                              ? QStringLiteral("The packages hold different values: a value entered here "
                                               "is set on all of them, an empty one leaves each as it is.")
                              : QStringLiteral("The packages hold different values."));
    }
    if (editable) {
        auto* kinds = new QComboBox(m_table);
        kinds->setObjectName(QStringLiteral("cmbType"));
        for (std::string_view kind : engine::kCustomKindNames) {
            kinds->addItem(QString::fromLatin1(kind.data(), static_cast<int>(kind.size())));
        }
        kinds->setCurrentIndex(isNew ? 0 : static_cast<int>(engine::KindOfType(property.Type)));
        m_table->setCellWidget(row, TypeColumn, kinds);
    } else {
        auto* type = new QTableWidgetItem(Q(property.Type));
        type->setFlags(type->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(row, TypeColumn, type);
        value->setFlags(value->flags() & ~Qt::ItemIsEditable);
    }
    m_table->setItem(row, ValueColumn, value);
}

void CustomPropertiesDialog::addRow()
{
    appendRow(engine::CustomProperty{}, true, false, false);
    const int row = m_table->rowCount() - 1;
    m_table->setCurrentCell(row, NameColumn);
    m_table->editItem(m_table->item(row, NameColumn));
}

void CustomPropertiesDialog::removeSelectedRows()
{
    std::set<int> rows;
    for (const QTableWidgetItem* item : m_table->selectedItems()) {
        rows.insert(item->row());
    }
    if (rows.empty() && m_table->currentRow() >= 0) {
        rows.insert(m_table->currentRow());
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const QString original = m_table->item(*row, NameColumn)->data(kOriginalNameRole).toString();
        if (!original.isEmpty()) {
            m_removed.push_back(original.toStdString());
        }
        m_table->removeRow(*row);
    }
}

void CustomPropertiesDialog::useCheckedRows()
{
    m_table->setCurrentIndex(QModelIndex()); // what is typed into an open cell editor counts
    if (!changes().empty() &&
        Dialogs::question(this, QStringLiteral("Custom Properties"),
                          QStringLiteral("The changes made so far are for the packages shown now. Drop "
                                         "them and show the checked rows instead?")) != QMessageBox::Yes) {
        return;
    }
    showRows(m_checkedRows);
}

engine::CustomKind CustomPropertiesDialog::kindAt(int row) const
{
    const auto* kinds = qobject_cast<const QComboBox*>(m_table->cellWidget(row, TypeColumn));
    return kinds != nullptr ? static_cast<engine::CustomKind>(kinds->currentIndex())
                            : engine::CustomKind::Other;
}

bool CustomPropertiesDialog::isChange(int row) const
{
    const QTableWidgetItem* name = m_table->item(row, NameColumn);
    const engine::CustomKind kind = kindAt(row);
    if (kind == engine::CustomKind::Other) {
        return false;
    }
    return name->data(kOriginalNameRole).toString().isEmpty() ||
           kind != engine::KindOfType(name->data(kOriginalTypeRole).toString().toStdString()) ||
           m_table->item(row, ValueColumn)->text() != name->data(kOriginalValueRole).toString();
}

std::vector<engine::CustomChange> CustomPropertiesDialog::changes() const
{
    std::vector<engine::CustomChange> result;
    for (const std::string& name : m_removed) {
        result.push_back({name, engine::CustomKind::Text, {}, true});
    }
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (isChange(row)) {
            result.push_back({m_table->item(row, NameColumn)->text().toStdString(), kindAt(row),
                              m_table->item(row, ValueColumn)->text().toStdString(), false});
        }
    }
    return result;
}

QString CustomPropertiesDialog::checkRows() const
{
    std::unordered_set<std::string> names;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QTableWidgetItem* nameItem = m_table->item(row, NameColumn);
        const std::string name = nameItem->text().toStdString();
        if (!names.insert(engine::CustomNameKey(name)).second) {
            return QStringLiteral("The name \"%1\" is given more than once.").arg(nameItem->text());
        }
        // What a row holds unchanged is what the packages hold: only changes are checked.
        if (!isChange(row)) {
            continue;
        }
        try {
            engine::CheckCustomName(name);
            const std::string value = m_table->item(row, ValueColumn)->text().toStdString();
            const std::string originalType = nameItem->data(kOriginalTypeRole).toString().toStdString();
            (void)engine::HeldCustomValue(name, engine::TypeForValue(kindAt(row), originalType, value),
                                          value);
        } catch (const engine::ECustomPropertyError& e) {
            return editing::ToQString(e.what());
        }
    }
    return {};
}

void CustomPropertiesDialog::accept()
{
    // What is typed into a still open cell editor belongs to the changes: moving the current cell
    // away commits it.
    m_table->setCurrentIndex(QModelIndex());
    const QString problem = checkRows();
    if (!problem.isEmpty()) {
        Dialogs::warning(this, QStringLiteral("Warning"), problem);
        return;
    }
    QDialog::accept();
}

} // namespace app
