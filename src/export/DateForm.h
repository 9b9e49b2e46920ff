#pragma once

#include <string>
#include <string_view>

namespace engine {
class DocumentList;
} // namespace engine

// The form the outputs write dates in: the grid's local form, ISO 8601 with the offset in force at
// that instant (what a table carries, so that an import in another zone reads the same instants),
// or the instant in UTC.
namespace exporting {

enum class DateForm
{
    Local,      // as the record holds it: local "YYYY-MM-DD hh:mm:ss", or an instant in the repeated hour
    WithOffset, // "YYYY-MM-DDThh:mm:ss+hh:mm"
    Utc,        // "YYYY-MM-DDThh:mm:ssZ"
};

// A record's date text in that form; a text that is no date stays as it is.
[[nodiscard]] std::string DateInForm(std::string_view recordText, DateForm form);

// Puts every date of the rows, the core dates and the custom date properties, in that form.
void PutDatesInForm(engine::DocumentList& rows, DateForm form);

} // namespace exporting
