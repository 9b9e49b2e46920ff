#pragma once

#include "engine/DocumentRecord.h"
#include "engine/ImportTable.h"
#include "engine/PendingChanges.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What an imported table asks for: which packages its rows name, the property values they carry,
// and the values that cannot be used. Applying a row changes a record only where its text differs.
namespace engine {

struct ImportOptions
{
    bool EmptyClears = false; // an empty cell clears the property instead of leaving it
};

struct ImportValue
{
    std::size_t Property = 0;
    std::string Text;
};

struct ImportRow
{
    std::size_t Number = 0; // as the user sees it: CSV line or worksheet row
    std::string Key;        // the FullPath or FileName cell
    std::vector<ImportValue> Values;
};

struct ImportSheet
{
    std::string Source;
    bool KeyIsPath = true; // the key column is FullPath, else FileName
    std::vector<ImportRow> Rows;
    std::vector<std::string> Warnings; // columns left out
    std::vector<std::string> Problems; // "FILE:ROW: NAME: "value" is not ..." per invalid cell
};

// Finds the header (the first row, or the second below a title row), maps its columns by display
// name or export caption, and reads every row after it. Columns FileName, FullPath, FileSize and
// Error are never imported. Throws EImportError when no header names a key column.
[[nodiscard]] ImportSheet InterpretImportTable(const ImportTable& table, const ImportOptions& options);

// The absolute, lexically normal form of a path, relative paths taken from base.
[[nodiscard]] std::filesystem::path ImportPathKey(const std::string& path, const std::filesystem::path& base);

struct ImportMatch
{
    std::vector<std::pair<std::size_t, std::size_t>> Pairs; // (sheet row index, record index)
    std::vector<std::string> Unmatched;                     // "FILE:ROW: no package KEY"
};

// Matches rows to records by full path (relative cells taken from base) or, with a FileName key,
// by file name, which must then be unique among the records. Throws EImportError when it is not.
[[nodiscard]] ImportMatch MatchImportRows(const ImportSheet& sheet,
                                          const std::vector<const DocumentRecord*>& records,
                                          const std::filesystem::path& base);

// Stores the row's values that differ exactly from the record's texts, flags them and sets
// Modified when any did; returns what changed.
std::vector<PendingChange> ApplyImportRow(const ImportRow& row, DocumentRecord& record);

} // namespace engine
