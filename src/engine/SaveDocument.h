#pragma once

#include "engine/DocumentOutcome.h"
#include "engine/DocumentRecord.h"
#include "engine/ScratchFolder.h"

namespace engine {

// Writes the changed properties of the record back into its package. All or nothing: Modified
// and the changed flags are cleared only when the package was really rewritten. A failure is kept
// in LastError and returned, never thrown. The edited parts go through a scratch folder of the
// save's own, or through reused, which a worker keeps for a run of saves and which is left empty.
// A save that rewrote a digitally signed package leaves kSignatureWarning in LastWarning.
DocumentOutcome SaveDocument(DocumentRecord& record, ScratchFolder* reused = nullptr);

} // namespace engine
