#include "app/settings/ColumnConfig.h"

#include "app/settings/TXMLConfigType.h"
#include "editing/QtText.h"

#include <QApplication>
#include <QPalette>

namespace app {

Qt::Alignment ColumnAlignment(const std::string& align)
{
    if (align == "right") {
        return Qt::AlignRight;
    }
    if (align == "center") {
        return Qt::AlignHCenter;
    }
    return Qt::AlignLeft;
}

QColor ColumnBackground(bool readOnly)
{
    if (readOnly) {
        return kReadOnlyBackground;
    }
    return QApplication::palette().color(QPalette::ToolTipBase);
}

std::vector<ColumnSetting> ReadColumnConfig(xml::TXMLDocument& doc, std::string_view text)
{
    doc.LoadFromText(std::string(text));
    const TXMLNodesType nodes = GetConfig(doc).nodes();
    std::vector<ColumnSetting> columns;
    columns.reserve(nodes.Count());
    for (std::size_t i = 0; i < nodes.Count(); ++i) {
        const TXMLNodeType node = nodes.Node(i);
        ColumnSetting column;
        column.caption = editing::ToQString(node.Name());
        column.width = node.Width();
        column.displayPosition = node.Index();
        column.visible = node.Visible();
        column.background = ColumnBackground(node.ReadOnly());
        column.alignment = ColumnAlignment(node.Align());
        columns.push_back(column);
    }
    return columns;
}

} // namespace app
