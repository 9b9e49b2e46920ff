#pragma once

#include "engine/package/ScratchFolder.h"
#include "engine/record/DocumentOutcome.h"
#include "engine/record/DocumentRecord.h"

namespace engine {

class SaveRecorder;

struct SaveOptions
{
    // When set, the save is recorded there before the package is replaced, and fails without it.
    SaveRecorder* Journal = nullptr;
    // The package keeps the modification time it had before the save.
    bool KeepModificationTime = false;
};

// Writes the changed properties of the record back into its package. All or nothing: Modified
// and the changed flags are cleared only when the package was really rewritten. A failure is kept
// in LastError and returned, never thrown. After a success the saved texts are the loaded ones.
// The edited parts go through a scratch folder of the save's own, or through reused, which a
// worker keeps for a run of saves and which is left empty. A save that rewrote a digitally signed
// package leaves kSignatureWarning in LastWarning.
DocumentOutcome
SaveDocument(DocumentRecord& record, const SaveOptions& options = {}, ScratchFolder* reused = nullptr);

} // namespace engine
