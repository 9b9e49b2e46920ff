#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The custom document properties of a package as a row holds them: name, value type and the text
// the user sees, plus what was changed since the last load or save. Names compare without regard
// to ASCII letter case, as the programs that write these properties compare them.
namespace engine {

struct DocumentRecord;
class DocumentList;

// The value kinds a user can enter; Other stands for every type that is shown but not edited.
enum class CustomKind
{
    Text,
    Int,
    Real,
    Bool,
    Date,
    Other,
};

struct CustomProperty
{
    std::string Name;
    std::string Type;  // the value element as "vt:lpwstr", "vt:i4", ...
    std::string Value; // dates in local "YYYY-MM-DD hh:mm:ss", booleans "true"/"false"
    bool Changed = false;

    friend bool operator==(const CustomProperty&, const CustomProperty&) = default;
};

struct CustomProperties
{
    std::vector<CustomProperty> Items;  // in the order of the part
    std::vector<std::string> Removed;   // names cleared since the last load or save
    std::vector<CustomProperty> Loaded; // the items as loaded or last saved, while changes are staged
    std::string Error;                  // why the part could not be read; empty when it could

    friend bool operator==(const CustomProperties&, const CustomProperties&) = default;
};

// One change the user asked for: set Name to Value of Kind, or remove Name (Clear).
struct CustomChange
{
    std::string Name;
    CustomKind Kind = CustomKind::Text;
    std::string Value;
    bool Clear = false;
};

// A name or value that cannot be stored; the message names the property.
class ECustomPropertyError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// "text", "int", "real", "bool", "date" as given on the command line.
inline constexpr std::string_view kCustomKindNames[] = {"text", "int", "real", "bool", "date"};

[[nodiscard]] CustomKind KindOfType(std::string_view type);
// The kind named by one of kCustomKindNames; Other for anything else.
[[nodiscard]] CustomKind KindOfName(std::string_view kindName);
[[nodiscard]] bool SameCustomName(std::string_view a, std::string_view b);
// The name as names compare (ASCII letters lower-cased), for lookups by name.
[[nodiscard]] std::string CustomNameKey(std::string_view name);

// Throws ECustomPropertyError for an empty name, one longer than 255 characters, or one XML cannot
// hold.
void CheckCustomName(std::string_view name);
// The type a value of this kind is stored as: an existing type of the same kind is kept, an integer
// beyond 32 bits needs vt:i8. Then the value as it is held: validated (throws ECustomPropertyError),
// booleans as "true"/"false".
[[nodiscard]] std::string
TypeForValue(CustomKind kind, std::string_view existingType, std::string_view value);
[[nodiscard]] std::string
HeldCustomValue(std::string_view name, std::string_view type, std::string_view value);

// The first property of that name, or null.
[[nodiscard]] const CustomProperty* FindCustomProperty(const CustomProperties& properties,
                                                       std::string_view name);

// Stage a change on the record; true when it changed something, and only then is Modified set (a
// value and type the record holds already, or a name it does not have, leave it as it is). A
// property of a type that is not edited (Other) cannot be set, only cleared. Throws
// ECustomPropertyError; the record is unchanged then.
bool SetCustomProperty(DocumentRecord& record,
                       std::string_view name,
                       CustomKind kind,
                       std::string_view value);
bool ClearCustomProperty(DocumentRecord& record, std::string_view name);
// Stages the changes in order; true when any changed something. Throws ECustomPropertyError at
// the first that cannot be applied; the changes before it stay staged, so the record is then not
// to be saved.
bool ApplyCustomChanges(DocumentRecord& record, const std::vector<CustomChange>& changes);

[[nodiscard]] bool HasCustomChanges(const DocumentRecord& record);
// Takes back the staged change of name: the loaded property returns (or goes, when it was added).
void DropCustomChange(DocumentRecord& record, std::string_view name);
// After a save that wrote the staged changes.
void MarkCustomSaved(DocumentRecord& record);

// Every custom name of the rows, each once, in the order first met.
[[nodiscard]] std::vector<std::string> CustomColumnNames(const DocumentList& rows);
// The values of the given names for one record (empty where it has none).
[[nodiscard]] std::vector<std::string> CustomCells(const DocumentRecord& record,
                                                   const std::vector<std::string>& names);

} // namespace engine
