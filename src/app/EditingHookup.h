#pragma once

namespace app {

class TfmMain;

// Gives the window its in-place cell editors, the Batch Modify dialog and the undo and redo keys
// (actions "actUndo" and "actRedo" on the window's undo stack).
void InstallEditing(TfmMain& window);

} // namespace app
