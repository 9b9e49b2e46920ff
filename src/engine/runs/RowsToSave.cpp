#include "engine/runs/RowsToSave.h"

#include "engine/package/SamePackage.h"

#include <string>
#include <unordered_set>

namespace engine {

std::vector<std::size_t> RowsToSave(const DocumentList& rows, const std::function<bool(std::size_t row)>& chosen)
{
    std::vector<bool> saved(rows.RowCount(), false);
    std::unordered_set<std::string> savedPaths;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const DocumentRecord& record = rows.RecordAt(row);
        if (record.Modified && chosen(row)) {
            saved[row] = true;
            savedPaths.insert(record.FullPath);
        }
    }
    // The same path text is the same package without asking the file system; only the other rows
    // holding no changes are looked up, and the saved packages' keys only when there is one.
    std::vector<std::size_t> others;
    for (std::size_t row = 0; row < rows.RowCount() && !savedPaths.empty(); ++row) {
        const DocumentRecord& record = rows.RecordAt(row);
        if (!saved[row] && !record.Modified) {
            if (savedPaths.contains(record.FullPath)) {
                saved[row] = true;
            } else {
                others.push_back(row);
            }
        }
    }
    if (!others.empty()) {
        std::unordered_set<std::string> savedPackages;
        for (const std::string& path : savedPaths) {
            savedPackages.insert(SamePackageKey(path));
        }
        for (const std::size_t row : others) {
            saved[row] = savedPackages.contains(SamePackageKey(rows.RecordAt(row).FullPath));
        }
    }
    std::vector<std::size_t> result;
    for (std::size_t row = 0; row < saved.size(); ++row) {
        if (saved[row]) {
            result.push_back(row);
        }
    }
    return result;
}

} // namespace engine
