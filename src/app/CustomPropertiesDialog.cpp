#include "app/CustomPropertiesDialog.h"

#include "app/Dialogs.h"
#include "editing/QtText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>
#include <unordered_set>

namespace app {

namespace {

enum Column
{
    NameColumn,
    TypeColumn,
    ValueColumn,
};

// Kept on the name cell: what the row held when the dialog opened (empty name: a new row).
constexpr int kOriginalNameRole = Qt::UserRole;
constexpr int kOriginalTypeRole = Qt::UserRole + 1;
constexpr int kOriginalValueRole = Qt::UserRole + 2;

QString Q(const std::string& text)
{
    return editing::ToQString(text);
}

} // namespace

CustomPropertiesDialog::CustomPropertiesDialog(const std::vector<const engine::DocumentRecord*>& records,
                                               QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CustomPropertiesDialog"));
    setWindowTitle(QStringLiteral("Custom Properties"));
    resize(560, 360);
    auto* layout = new QVBoxLayout(this);
    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("tblCustomProperties"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Value")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    layout->addWidget(m_table);

    std::unordered_set<std::string> shown;
    for (const engine::DocumentRecord* record : records) {
        for (const engine::CustomProperty& property : record->Custom.Items) {
            if (shown.insert(engine::CustomNameKey(property.Name)).second) {
                appendRow(property, false);
            }
        }
    }

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
}

void CustomPropertiesDialog::appendRow(const engine::CustomProperty& property, bool isNew)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const bool editable = isNew || engine::KindOfType(property.Type) != engine::CustomKind::Other;

    auto* name = new QTableWidgetItem(Q(property.Name));
    name->setData(kOriginalNameRole, isNew ? QString() : Q(property.Name));
    name->setData(kOriginalTypeRole, Q(property.Type));
    name->setData(kOriginalValueRole, Q(property.Value));
    if (!isNew) {
        name->setFlags(name->flags() & ~Qt::ItemIsEditable); // a name is changed by removing and adding
    }
    m_table->setItem(row, NameColumn, name);

    auto* value = new QTableWidgetItem(Q(property.Value));
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
    appendRow(engine::CustomProperty{}, true);
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

engine::CustomKind CustomPropertiesDialog::kindAt(int row) const
{
    const auto* kinds = qobject_cast<const QComboBox*>(m_table->cellWidget(row, TypeColumn));
    return kinds != nullptr ? static_cast<engine::CustomKind>(kinds->currentIndex())
                            : engine::CustomKind::Other;
}

std::vector<engine::CustomChange> CustomPropertiesDialog::changes() const
{
    std::vector<engine::CustomChange> result;
    for (const std::string& name : m_removed) {
        result.push_back({name, engine::CustomKind::Text, {}, true});
    }
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QTableWidgetItem* name = m_table->item(row, NameColumn);
        const engine::CustomKind kind = kindAt(row);
        const std::string value = m_table->item(row, ValueColumn)->text().toStdString();
        const bool isNew = name->data(kOriginalNameRole).toString().isEmpty();
        const bool changed =
            kind != engine::KindOfType(name->data(kOriginalTypeRole).toString().toStdString()) ||
            value != name->data(kOriginalValueRole).toString().toStdString();
        if (kind != engine::CustomKind::Other && (isNew || changed)) {
            result.push_back({name->text().toStdString(), kind, value, false});
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
        const engine::CustomKind kind = kindAt(row);
        if (kind == engine::CustomKind::Other) {
            continue;
        }
        try {
            engine::CheckCustomName(name);
            const std::string value = m_table->item(row, ValueColumn)->text().toStdString();
            const std::string originalType = nameItem->data(kOriginalTypeRole).toString().toStdString();
            (void)engine::HeldCustomValue(name, engine::TypeForValue(kind, originalType, value), value);
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
