#pragma once

#include "engine/record/CustomProperties.h"
#include "engine/record/DocumentRecord.h"
#include "engine/record/PendingChanges.h"
#include "engine/tables/ImportTable.h"

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
    bool EmptyClears = false;          // an empty cell clears the property instead of leaving it
    bool IgnoreUnknownColumns = false; // leave such columns out instead of refusing the table
};

// A column the table cannot be imported with: the message names it and lists the known captions.
class EUnknownColumn : public EImportError
{
public:
    using EImportError::EImportError;
};

struct ImportValue
{
    std::size_t Property = 0;
    std::string Text;
};

struct ImportCustomValue
{
    std::string Name; // the custom property's name
    std::string Text; // "" clears it (only with EmptyClears)
};

struct ImportRow
{
    std::size_t Number = 0; // as the user sees it: CSV line or worksheet row
    std::string Key;        // the FullPath or FileName cell
    std::vector<ImportValue> Values;
    std::vector<ImportCustomValue> Custom;
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
// name, export caption or custom column caption, and reads every row after it. Columns FileName,
// FullPath, FileSize, Error and the statistics (Statistic:NAME) are never imported. Throws EImportError when
// no header names a key column, when two columns mean the same, when a row holds more fields than the header
// (or fewer, from a CSV file, while empty cells clear), and EUnknownColumn for a caption it does not know
// unless such columns are to be ignored.
[[nodiscard]] ImportSheet InterpretImportTable(const ImportTable& table, const ImportOptions& options);

// The absolute, lexically normal form of a path, relative paths taken from base.
[[nodiscard]] std::filesystem::path ImportPathKey(const std::string& path, const std::filesystem::path& base);

struct ImportMatch
{
    std::vector<std::pair<std::size_t, std::size_t>> Pairs; // (sheet row index, record index)
    std::vector<std::string> Unmatched; // "FILE:ROW: no package KEY": another package, left alone
    std::vector<std::string> Missing;   // "FILE:ROW: no package KEY: no such file": a failure
};

// Matches rows to records by full path (relative cells taken from base) or, with a FileName key,
// by file name, which must then be unique among the records. A FullPath row that matches no record
// and names no existing file is Missing. Throws EImportError when a name is not unique, or when two
// rows name the same package (the same file under any name).
[[nodiscard]] ImportMatch MatchImportRows(const ImportSheet& sheet,
                                          const std::vector<const DocumentRecord*>& records,
                                          const std::filesystem::path& base);

// The custom property changes the row asks of the record: the values that differ from what it holds,
// each of the kind of the record's property of that name (text for a new one); an empty text clears.
[[nodiscard]] std::vector<CustomChange> ImportCustomChanges(const ImportRow& row,
                                                            const DocumentRecord& record);

// Stores the row's values that differ exactly from the record's texts, flags them and sets
// Modified when any did; returns what changed. A custom value is stored with the type the record's
// property of that name has (text for a new one); one invalid for that type is left out and described
// in problems as "FILE:ROW: NAME: reason".
std::vector<PendingChange> ApplyImportRow(const ImportSheet& sheet,
                                          const ImportRow& row,
                                          DocumentRecord& record,
                                          std::vector<std::string>& problems);

} // namespace engine
