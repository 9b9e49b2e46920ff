#pragma once

#include "engine/record/DocumentOutcome.h"
#include "engine/record/DocumentRecord.h"

namespace engine {

// Fills the record's seventeen properties from the package at FullPath. Clears Modified and the
// flags first; a failure is kept in LastError and returned, never thrown.
DocumentOutcome LoadDocument(DocumentRecord& record);

// Measures FileSize again after the package was rewritten (a save, an undo); left as it is when
// the file cannot be reached.
void RefreshFileSize(DocumentRecord& record);

} // namespace engine
