// The custom property columns of the document grid.
#include "app/grid/DocumentTableModel.h"
#include "editing/QtText.h"
#include "engine/parts/CustomColumnCaption.h"
#include "engine/record/CustomProperties.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPalette>

namespace app {

namespace {

// Custom columns are set in italics over a faint tint of the selection colour, in header and cells.
QFont CustomFont(QFont font)
{
    font.setItalic(true);
    return font;
}

QColor CustomTint()
{
    const QPalette palette = QApplication::palette();
    const QColor base = palette.color(QPalette::Base);
    const QColor accent = palette.color(QPalette::Highlight);
    constexpr float kShare = 0.1F;
    return QColor::fromRgbF(base.redF() + (accent.redF() - base.redF()) * kShare,
                            base.greenF() + (accent.greenF() - base.greenF()) * kShare,
                            base.blueF() + (accent.blueF() - base.blueF()) * kShare);
}

} // namespace

void DocumentTableModel::setCustomColumnsShown(bool shown)
{
    m_customShown = shown;
    refreshCustomColumns();
}

void DocumentTableModel::refreshCustomColumns()
{
    // Inside an update block the columns follow once, when the block ends.
    if ((!m_customShown && m_customNames.empty()) || m_updateDepth > 0) {
        return;
    }
    std::vector<std::string> names;
    if (m_customShown) {
        names = engine::CustomColumnNames(*this);
    }
    if (names == m_customNames) {
        return;
    }
    // Only the custom columns are replaced, so the configured ones keep their widths and places.
    const int first = firstCustomColumn();
    if (!m_customNames.empty()) {
        beginRemoveColumns({}, first, first + static_cast<int>(m_customNames.size()) - 1);
        m_customNames.clear();
        endRemoveColumns();
    }
    if (!names.empty()) {
        beginInsertColumns({}, first, first + static_cast<int>(names.size()) - 1);
        m_customNames = std::move(names);
        endInsertColumns();
    }
}

// Told apart from the built-in columns by caption and look: a custom "Category" is not the core
// Category.
QVariant DocumentTableModel::customHeaderData(std::size_t customColumn, int role) const
{
    const std::string& name = m_customNames.at(customColumn);
    switch (role) {
    case Qt::DisplayRole:
        return editing::ToQString(engine::CustomColumnCaption(name));
    case Qt::FontRole:
        return CustomFont(QApplication::font());
    case Qt::ToolTipRole:
        return QStringLiteral("Custom property \"%1\" (Edit > Custom Properties changes it)")
            .arg(editing::ToQString(name));
    default:
        return {};
    }
}

QVariant DocumentTableModel::customCellData(const engine::DocumentRecord& record, int column, int role) const
{
    const std::string& name = m_customNames.at(static_cast<std::size_t>(column - firstCustomColumn()));
    const engine::CustomProperty* property = engine::FindCustomProperty(record.Custom, name);
    switch (role) {
    case Qt::DisplayRole:
        return property != nullptr ? editing::ToQString(property->Value) : QString();
    case Qt::ToolTipRole:
        return property != nullptr ? editing::ToQString(property->Type) : QVariant();
    case Qt::ForegroundRole:
        return property != nullptr && property->Changed ? QColor(0, 0, 255) : QVariant();
    case Qt::FontRole: {
        QFont font = CustomFont(QApplication::font());
        font.setBold(property != nullptr && property->Changed);
        return font;
    }
    case Qt::BackgroundRole:
        return CustomTint();
    default:
        return {};
    }
}

} // namespace app
