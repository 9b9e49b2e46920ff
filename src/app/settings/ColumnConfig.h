#pragma once

#include "xml/TXMLDocument.h"

#include <QColor>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace app {

// One grid column as the configuration describes it; its position in the list is its index.
struct ColumnSetting
{
    QString caption;
    int width = 0;
    int displayPosition = 0;
    bool visible = true;
    QColor background;
    Qt::Alignment alignment = Qt::AlignLeft;
};

// The background of read-only columns; the others take the tooltip background.
inline const QColor kReadOnlyBackground{239, 243, 255};

// Parses text into doc (replacing its content) and reads the <nodes> list, in list order.
std::vector<ColumnSetting> ReadColumnConfig(xml::TXMLDocument& doc, std::string_view text);

// "right" and "center" exactly (case-sensitive); everything else is left.
Qt::Alignment ColumnAlignment(const std::string& align);
QColor ColumnBackground(bool readOnly);

} // namespace app
