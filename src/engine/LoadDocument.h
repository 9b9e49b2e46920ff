#pragma once

#include "engine/DocumentOutcome.h"
#include "engine/DocumentRecord.h"

namespace engine {

// Fills the record's seventeen properties from the package at FullPath. Clears Modified and the
// flags first; a failure is kept in LastError and returned, never thrown.
DocumentOutcome LoadDocument(DocumentRecord& record);

} // namespace engine
