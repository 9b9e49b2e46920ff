#pragma once

class QMenu;

namespace app {

// Keeps menu's entry in the menu bar hidden while the menu has no items, and shows it once one is
// added.
void HideWhileEmpty(QMenu* menu);

} // namespace app
