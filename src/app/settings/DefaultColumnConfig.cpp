#include "app/settings/DefaultColumnConfig.h"

namespace app {

// One line, no line breaks: the tabs are part of the text. One column per source line.
// clang-format off
const std::string_view DefaultColumnConfig =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><config versionNo=\"1\">\t<nodes>"
    "\t\t<node Name=\"     File Name\" Visible=\"True\" Index=\"0\"  Width=\"172\" ReadOnly=\"True\" Align=\"left\"/>"
    "\t\t<node Name=\"Full Path\" Visible=\"True\" Index=\"1\"  Width=\"173\" ReadOnly=\"True\" Align=\"left\"/>"
    "\t\t<node Name=\"File Size\" Visible=\"True\" Index=\"2\"  Width=\"84\" ReadOnly=\"True\" Align=\"right\"/>"
    "\t\t<node Name=\"Title\" Visible=\"True\" Index=\"3\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Subject\" Visible=\"True\" Index=\"4\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Creator\" Visible=\"True\" Index=\"5\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Keywords\" Visible=\"True\" Index=\"6\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Description\" Visible=\"True\" Index=\"7\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"LastModifiedBy\" Visible=\"True\" Index=\"8\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Revision\" Visible=\"True\" Index=\"9\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"LastPrinted\" Visible=\"True\" Index=\"10\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"CreatedTime\" Visible=\"True\" Index=\"11\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"ModifiedTime\" Visible=\"True\" Index=\"12\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Category\" Visible=\"True\" Index=\"13\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"ContentType\" Visible=\"True\" Index=\"14\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"ContentStatus\" Visible=\"True\" Index=\"15\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Template\" Visible=\"True\" Index=\"16\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"TotalEditTime(second)\" Visible=\"True\" Index=\"17\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Company\" Visible=\"True\" Index=\"18\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t\t<node Name=\"Manager\" Visible=\"True\" Index=\"19\"  Width=\"120\" ReadOnly=\"false\" Align=\"left\"/>"
    "\t</nodes>\t<folders>\t</folders></config>";
// clang-format on

} // namespace app
