#pragma once

namespace app {

class TfmMain;

// Gives the window its in-place cell editors, the Batch Modify dialog and the undo and redo keys
// (actions "actUndo" and "actRedo" on the window's undo stack); a value the editors or the dialog
// refuse is named in a warning box.
void InstallEditing(TfmMain& window);

} // namespace app
