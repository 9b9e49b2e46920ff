#include "engine/record/CustomProperties.h"

#include "archive/Utf8.h"
#include "engine/record/DateConvert.h"
#include "engine/record/DocumentList.h"
#include "engine/record/DocumentRecord.h"
#include "engine/record/EditState.h"
#include "engine/record/StorableText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace engine {
namespace {

// Longer names are refused by the programs that show these properties.
constexpr std::size_t kMaxNameCharacters = 255;

std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

std::optional<std::int64_t> ParseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool FitsInt32(std::int64_t value)
{
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// The decimal forms a stored double may take: sign, digits with an optional fraction, exponent;
// no blanks, no INF or NaN, nothing beyond the range of a double.
bool IsRealText(std::string_view text)
{
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            return false;
        }
    }
    if (i != text.size()) {
        return false;
    }
    const std::string_view unsigned_ = text.front() == '+' ? text.substr(1) : text;
    double value = 0;
    const auto [end, error] = std::from_chars(unsigned_.data(), unsigned_.data() + unsigned_.size(), value);
    return error == std::errc() && end == unsigned_.data() + unsigned_.size() && std::isfinite(value);
}

std::optional<std::string> BoolText(std::string_view text)
{
    const std::string lower = LowerAscii(text);
    if (lower == "true" || lower == "1") {
        return "true";
    }
    if (lower == "false" || lower == "0") {
        return "false";
    }
    return std::nullopt;
}

[[noreturn]] void Refuse(std::string_view name, std::string_view value, std::string_view expected)
{
    throw ECustomPropertyError(std::string(name) + ": \"" + std::string(value) + "\" is not " +
                               std::string(expected));
}

} // namespace

CustomKind KindOfType(std::string_view type)
{
    if (type == "vt:lpwstr" || type == "vt:lpstr") {
        return CustomKind::Text;
    }
    if (type == "vt:i4" || type == "vt:i8") {
        return CustomKind::Int;
    }
    if (type == "vt:r8") {
        return CustomKind::Real;
    }
    if (type == "vt:bool") {
        return CustomKind::Bool;
    }
    if (type == "vt:filetime") {
        return CustomKind::Date;
    }
    return CustomKind::Other;
}

CustomKind KindOfName(std::string_view kindName)
{
    for (std::size_t i = 0; i < std::size(kCustomKindNames); ++i) {
        if (kCustomKindNames[i] == kindName) {
            return static_cast<CustomKind>(i);
        }
    }
    return CustomKind::Other;
}

std::string CustomNameKey(std::string_view name)
{
    return LowerAscii(name);
}

bool SameCustomName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

void CheckCustomName(std::string_view name)
{
    if (name.empty()) {
        throw ECustomPropertyError("a custom property needs a name");
    }
    if (auto problem = StorableTextProblem(name, name)) {
        throw ECustomPropertyError(*problem);
    }
    if (archive::CountCodePoints(name) > kMaxNameCharacters) {
        // The quoted start is cut at a character boundary.
        throw ECustomPropertyError("the custom property name \"" +
                                   archive::RepairUtf8(name.substr(0, 40), "") +
                                   "...\" is longer than 255 characters");
    }
}

std::string TypeForValue(CustomKind kind, std::string_view existingType, std::string_view value)
{
    const bool keep = !existingType.empty() && KindOfType(existingType) == kind;
    switch (kind) {
    case CustomKind::Text:
        return keep ? std::string(existingType) : "vt:lpwstr";
    case CustomKind::Int: {
        const auto number = ParseInteger(value);
        if (number && !FitsInt32(*number)) {
            return "vt:i8";
        }
        return keep ? std::string(existingType) : "vt:i4";
    }
    case CustomKind::Real:
        return "vt:r8";
    case CustomKind::Bool:
        return "vt:bool";
    case CustomKind::Date:
        return "vt:filetime";
    case CustomKind::Other:
        break;
    }
    throw ECustomPropertyError("unknown custom property type");
}

std::string HeldCustomValue(std::string_view name, std::string_view type, std::string_view value)
{
    switch (KindOfType(type)) {
    case CustomKind::Text:
        if (auto problem = StorableTextProblem(name, value)) {
            throw ECustomPropertyError(*problem);
        }
        return std::string(value);
    case CustomKind::Int: {
        const auto number = ParseInteger(value);
        if (!number || (type == "vt:i4" && !FitsInt32(*number))) {
            Refuse(name, value, type == "vt:i4" ? "a 32-bit integer" : "a 64-bit integer");
        }
        return std::to_string(*number);
    }
    case CustomKind::Real:
        if (!IsRealText(value)) {
            Refuse(name, value, "a number");
        }
        return std::string(value);
    case CustomKind::Bool:
        if (const auto text = BoolText(value)) {
            return *text;
        }
        Refuse(name, value, "true or false");
    case CustomKind::Date:
        if (auto held = DateInputToRecordText(value)) {
            return *std::move(held);
        }
        Refuse(name, value,
               DateInputIsSkippedLocalTime(value)
                   ? "a time of the local time zone: the clocks skip it when daylight saving time starts"
                   : "a date \"YYYY-MM-DD hh:mm:ss\", \"YYYY-MM-DD\" or ISO 8601 with Z or an offset");
    case CustomKind::Other:
        break;
    }
    throw ECustomPropertyError(std::string(name) + ": values of the type " + std::string(type) +
                               " cannot be edited");
}

const CustomProperty* FindCustomProperty(const CustomProperties& properties, std::string_view name)
{
    const auto found =
        std::find_if(properties.Items.begin(), properties.Items.end(),
                     [&](const CustomProperty& item) { return SameCustomName(item.Name, name); });
    return found == properties.Items.end() ? nullptr : &*found;
}

namespace {

// The state the first staged change starts from, kept so that a change can be listed and dropped.
void KeepLoadedItems(CustomProperties& custom)
{
    if (custom.Loaded.empty() && custom.Removed.empty() &&
        std::none_of(custom.Items.begin(), custom.Items.end(),
                     [](const CustomProperty& item) { return item.Changed; })) {
        custom.Loaded = custom.Items;
    }
}

} // namespace

bool SetCustomProperty(DocumentRecord& record,
                       std::string_view nameView,
                       CustomKind kind,
                       std::string_view value)
{
    // A copy: the name may be that of one of the record's own properties, which the change replaces.
    const std::string name(nameView);
    CheckCustomName(name);
    CustomProperties& custom = record.Custom;
    const CustomProperty* existing = FindCustomProperty(custom, name);
    if (existing != nullptr && KindOfType(existing->Type) == CustomKind::Other) {
        throw ECustomPropertyError(existing->Name + ": values of the type " + existing->Type +
                                   " cannot be edited");
    }
    const std::string type = TypeForValue(kind, existing != nullptr ? existing->Type : std::string(), value);
    CustomProperty updated{existing != nullptr ? existing->Name : std::string(name), type,
                           HeldCustomValue(name, type, value), true};
    if (existing != nullptr && existing->Type == updated.Type && existing->Value == updated.Value) {
        return false; // what the record holds already: nothing to stage
    }
    KeepLoadedItems(custom);
    if (existing != nullptr) {
        custom.Items[static_cast<std::size_t>(existing - custom.Items.data())] = std::move(updated);
    } else {
        custom.Items.push_back(std::move(updated));
    }
    std::erase_if(custom.Removed, [&](const std::string& removed) { return SameCustomName(removed, name); });
    UpdateModified(record);
    return true;
}

bool ClearCustomProperty(DocumentRecord& record, std::string_view nameView)
{
    // A copy: the name may be that of one of the record's own properties, which are removed first.
    const std::string name(nameView);
    CustomProperties& custom = record.Custom;
    KeepLoadedItems(custom);
    const auto same = [&](const CustomProperty& item) { return SameCustomName(item.Name, name); };
    bool changed = std::erase_if(custom.Items, same) > 0;
    // A name the part never held has nothing to remove (unless the part could not be read).
    const bool wasLoaded = std::any_of(custom.Loaded.begin(), custom.Loaded.end(), same);
    if ((wasLoaded || !custom.Error.empty()) &&
        std::none_of(custom.Removed.begin(), custom.Removed.end(),
                     [&](const std::string& removed) { return SameCustomName(removed, name); })) {
        custom.Removed.emplace_back(name);
        changed = true;
    }
    if (changed) {
        UpdateModified(record);
    }
    return changed;
}

bool ApplyCustomChanges(DocumentRecord& record, const std::vector<CustomChange>& changes)
{
    bool changed = false;
    for (const CustomChange& change : changes) {
        if (change.Clear) {
            changed = ClearCustomProperty(record, change.Name) || changed;
        } else {
            changed = SetCustomProperty(record, change.Name, change.Kind, change.Value) || changed;
        }
    }
    return changed;
}

bool HasCustomChanges(const DocumentRecord& record)
{
    const CustomProperties& custom = record.Custom;
    return !custom.Removed.empty() || std::any_of(custom.Items.begin(), custom.Items.end(),
                                                  [](const CustomProperty& item) { return item.Changed; });
}

void DropCustomChange(DocumentRecord& record, std::string_view nameView)
{
    const std::string name(nameView);
    CustomProperties& custom = record.Custom;
    if (!HasCustomChanges(record)) {
        return;
    }
    const auto same = [&](const CustomProperty& item) { return SameCustomName(item.Name, name); };
    const auto kept = std::find_if(custom.Loaded.begin(), custom.Loaded.end(), same);
    std::erase_if(custom.Removed, [&](const std::string& removed) { return SameCustomName(removed, name); });
    if (kept == custom.Loaded.end()) {
        std::erase_if(custom.Items, same);
    } else {
        const auto current = std::find_if(custom.Items.begin(), custom.Items.end(), same);
        if (current != custom.Items.end()) {
            *current = *kept;
        } else {
            // Back where it stood among the loaded items that are still there.
            auto at = custom.Items.begin();
            for (auto before = custom.Loaded.begin(); before != kept; ++before) {
                const auto found =
                    std::find_if(custom.Items.begin(), custom.Items.end(), [&](const CustomProperty& item) {
                        return SameCustomName(item.Name, before->Name);
                    });
                if (found != custom.Items.end()) {
                    at = found + 1;
                }
            }
            custom.Items.insert(at, *kept);
        }
    }
    if (!HasCustomChanges(record)) {
        custom.Loaded.clear();
    }
}

void MarkCustomSaved(DocumentRecord& record)
{
    record.Custom.Loaded.clear();
    record.Custom.Removed.clear();
    for (CustomProperty& item : record.Custom.Items) {
        item.Changed = false;
    }
}

std::vector<std::string> CustomColumnNames(const DocumentList& rows)
{
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        for (const CustomProperty& item : rows.RecordAt(row).Custom.Items) {
            if (seen.insert(LowerAscii(item.Name)).second) {
                names.push_back(item.Name);
            }
        }
    }
    return names;
}

std::vector<std::string> CustomCells(const DocumentRecord& record, const std::vector<std::string>& names)
{
    std::unordered_map<std::string, const CustomProperty*> byName;
    for (const CustomProperty& item : record.Custom.Items) {
        byName.emplace(LowerAscii(item.Name), &item); // the first of a name is the one shown
    }
    std::vector<std::string> cells;
    cells.reserve(names.size());
    for (const std::string& name : names) {
        const auto found = byName.find(LowerAscii(name));
        cells.push_back(found != byName.end() ? found->second->Value : std::string());
    }
    return cells;
}

} // namespace engine
