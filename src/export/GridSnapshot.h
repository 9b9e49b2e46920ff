#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {
class DocumentList;
}

namespace exporting {

// What every export writes: the column captions in column-index order (hidden columns included) and
// the cell texts of every row in grid order. Each row holds one text per caption.
struct GridSnapshot
{
    GridSnapshot() = default;

    GridSnapshot(std::vector<std::string> captions,
                 std::vector<std::vector<std::string>> rows,
                 std::vector<std::string> attributeNames = {})
        : Captions(std::move(captions))
        , Rows(std::move(rows))
        , AttributeNames(std::move(attributeNames))
    {}

    std::vector<std::string> Captions;
    std::vector<std::vector<std::string>> Rows;
    // The XML attribute name of a column where it is not derived from the caption (an empty or
    // missing entry: XmlAttributeName of the caption).
    std::vector<std::string> AttributeNames;
};

// The text of a row's cell; a row shorter than the captions reads as empty cells.
[[nodiscard]] inline std::string_view CellAt(const std::vector<std::string>& row, std::size_t column)
{
    return column < row.size() ? std::string_view(row[column]) : std::string_view();
}

// The snapshot of a document list with the given captions; each cell is the text the grid shows.
[[nodiscard]] GridSnapshot SnapshotOf(const engine::DocumentList& list,
                                      const std::vector<std::string>& captions);

} // namespace exporting
