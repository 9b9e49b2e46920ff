#pragma once

#include "engine/journal/UndoSave.h"
#include "engine/record/DocumentRecord.h"
#include "engine/runs/SaveRun.h"

#include <QString>

#include <vector>

namespace app {

// What the window says after a save run: empty when every package was saved without a word to
// say, else one summary paragraph and then the packages by outcome (Dialogs shows the lists in the
// box's details area).
[[nodiscard]] QString SaveReportText(const engine::SaveRunReport& report,
                                     const std::vector<const engine::DocumentRecord*>& records);

// The status bar's line after a save run: "Saved 55 packages, 2 failed" (", 3 not saved" after a
// cancel).
[[nodiscard]] QString SaveStatusText(const engine::SaveRunReport& report);

// The same after Undo Last Save restored (or failed to restore) the packages of one run.
[[nodiscard]] QString UndoReportText(const std::vector<std::string>& packages,
                                     const std::vector<engine::UndoOutcome>& outcomes,
                                     const std::vector<bool>& ran);

} // namespace app
