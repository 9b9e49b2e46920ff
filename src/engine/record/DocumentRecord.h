#pragma once

#include "engine/record/CustomProperties.h"
#include "engine/record/PackedTexts.h"
#include "engine/record/Statistics.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The row data of one package in the document list: file facts, the seventeen property texts,
// the flags that tell a save which of them the user changed, and the read-only statistics.
namespace engine {

enum class CoreProperty
{
    Title,
    Subject,
    Creator,
    Keywords,
    Description,
    LastModifiedBy,
    Revision,
    LastPrinted,
    CreatedTime,
    ModifiedTime,
    Category,
    ContentType,
    ContentStatus,
};

enum class AppProperty
{
    Template,
    TotalTime,
    Company,
    Manager,
};

inline constexpr std::size_t kCoreCount = 13;
inline constexpr std::size_t kAppCount = 4;
inline constexpr std::size_t kPropertyCount = kCoreCount + kAppCount;
// Columns 0..2 are file name, full path and size; property p sits in column p + kFirstPropertyColumn.
inline constexpr int kFirstPropertyColumn = 3;
inline constexpr int kColumnCount = kFirstPropertyColumn + static_cast<int>(kPropertyCount);

inline constexpr std::array<std::string_view, kCoreCount> CoreDisplayNames = {
    "Title",       "Subject",     "Creator",      "Keywords", "Description", "LastModifiedBy", "Revision",
    "LastPrinted", "CreatedTime", "ModifiedTime", "Category", "ContentType", "ContentStatus",
};

inline constexpr std::array<std::string_view, kCoreCount> CoreElementNames = {
    "dc:title",          "dc:subject",     "dc:creator",       "cp:keywords",     "dc:description",
    "cp:lastModifiedBy", "cp:revision",    "cp:lastPrinted",   "dcterms:created", "dcterms:modified",
    "cp:category",       "cp:contentType", "cp:contentStatus",
};

inline constexpr std::array<std::string_view, kAppCount> AppDisplayNames = {
    "Template",
    "TotalEditTime(second)",
    "Company",
    "Manager",
};

inline constexpr std::array<std::string_view, kAppCount> AppElementNames = {
    "Template",
    "TotalTime",
    "Company",
    "Manager",
};

// The texts, flags, custom edits and Modified change only through the operations of
// engine/record/EditState.h, StageValue, DropChange and the custom property edits.
struct DocumentRecord
{
    // A property or custom property waits for a save, or the record is marked for one.
    bool Modified = false;
    // Saved even when nothing is flagged (see MarkForSave).
    bool MarkedForSave = false;
    std::string ScratchFolder;
    std::string FileName;
    std::string FullPath;
    std::string FileSize; // decimal digits, no separators
    std::string FileExt;
    std::string FileType;
    std::array<std::string, kCoreCount> CoreValues{};
    std::array<std::string, kAppCount> AppValues{};
    std::array<bool, kCoreCount> CoreChanged{};
    std::array<bool, kAppCount> AppChanged{};
    // The texts of property p as the package held them at the last load or successful save: the
    // "old" side of a pending change.
    PackedTexts<kPropertyCount> LoadedValues;
    // The last load or save failure of this package; empty when the last operation succeeded.
    std::string LastError;
    // What the user should know about the last save that succeeded (a signed package); else empty.
    std::string LastWarning;
    CustomProperties Custom;
    // The app part's statistics as the package held them at the last load; read-only, so a save
    // leaves them as they are in the package and here.
    PackedTexts<kStatisticCount> Statistics;

    // Property access by index p (0..16): 0..12 the core values, 13..16 the app values.
    [[nodiscard]] const std::string& Value(std::size_t p) const;
    std::string& Value(std::size_t p);
    [[nodiscard]] bool Changed(std::size_t p) const;
    void SetChanged(std::size_t p, bool changed);

    // The text of the statistic's element; empty when the package has none.
    [[nodiscard]] std::string_view StatisticText(Statistic s) const { return Statistics[StatisticIndex(s)]; }
};

// Display name of property p in catalogue order (core names, then app names).
[[nodiscard]] std::string_view DisplayName(std::size_t p);

// True for LastPrinted, CreatedTime and ModifiedTime.
[[nodiscard]] constexpr bool IsDateProperty(std::size_t p)
{
    return p == 7 || p == 8 || p == 9;
}

// Empties the seventeen texts, the statistics, the custom properties and the flags and clears
// Modified; file facts stay.
void ClearProperties(DocumentRecord& record);

// Index of the first entry equal to name (exact, case-sensitive), or -1.
template <std::size_t N>
[[nodiscard]] int IndexOfName(std::string_view name, const std::array<std::string_view, N>& table)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace engine
