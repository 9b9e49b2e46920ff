#pragma once

#include "editing/BatchValues.h"
#include "engine/record/DocumentRecord.h"

#include <QAbstractTableModel>

#include <array>
#include <string>

namespace editing {

// One row of the Batch Modify list: a catalogue property and the value to apply.
struct BatchItem
{
    std::string ItemName;
    std::string ItemValue;
};

// The seventeen rows of the Batch Modify list in catalogue order (row = property index), each with
// a check box in column 0 ("Metadata Item") and its value in column 1. Column 0 hands editing to
// the value of its row.
class BatchListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // Back to seventeen unchecked rows with empty values.
    void fill();
    void setAllChecked(bool checked);
    [[nodiscard]] bool anyChecked() const;
    [[nodiscard]] BatchValues checkedValues() const;

    [[nodiscard]] const BatchItem& item(std::size_t row) const { return m_items.at(row); }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    [[nodiscard]] QModelIndex buddy(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    std::array<BatchItem, engine::kPropertyCount> m_items{};
    std::array<bool, engine::kPropertyCount> m_checked{};
    bool m_filled = false;
};

} // namespace editing
