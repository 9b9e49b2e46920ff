#pragma once

#include "engine/DocumentOutcome.h"
#include "engine/DocumentRecord.h"

namespace engine {

// Writes the changed properties of the record back into its package. All or nothing: Modified
// and the changed flags are cleared only when the package was really rewritten. A failure is kept
// in LastError and returned, never thrown. A save that rewrote a digitally signed package leaves
// kSignatureWarning in LastWarning.
DocumentOutcome SaveDocument(DocumentRecord& record);

} // namespace engine
