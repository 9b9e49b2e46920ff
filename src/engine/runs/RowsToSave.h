#pragma once

#include "engine/record/DocumentList.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace engine {

// The rows a save of the chosen rows writes or brings up to date, in row order: each chosen row
// that is Modified, and each row holding no change of its own whose package is one of theirs by
// the save run's rule (SamePackageKey: repeated names and symbolic links are one package, hard
// links are not), so that every row of a saved package shows it as saved. A row with changes of its
// own that is not chosen keeps them.
[[nodiscard]] std::vector<std::size_t> RowsToSave(const DocumentList& rows,
                                                  const std::function<bool(std::size_t row)>& chosen);

} // namespace engine
