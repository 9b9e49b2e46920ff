#include "cli/CommandHelp.h"

#include "engine/record/DocumentRecord.h"

#include <cstddef>

namespace cli {

std::string ValuesHelp(std::string_view customTypes)
{
    std::string text = "Property names (any letter case):\n ";
    std::size_t column = 1;
    for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
        const std::string name =
            std::string(engine::DisplayName(p)) + (p + 1 < engine::kPropertyCount ? "," : "");
        if (column + 1 + name.size() > 78) {
            text += "\n ";
            column = 1;
        }
        text += " " + name;
        column += 1 + name.size();
    }
    text += "\n\n"
            "Dates (LastPrinted, CreatedTime, ModifiedTime, custom dates):\n"
            "  2024-01-02 10:00:00        local time (the zone of TZ)\n"
            "  2024-01-02                 midnight, local time\n"
            "  2024-01-02T10:00:00Z       that instant, in UTC\n"
            "  2024-01-02T10:00:00+01:00  that instant, at the given offset from UTC\n"
            "  A local time the clocks skip when daylight saving time starts is refused.\n"
            "Revision and TotalEditTime(second) take digits only; an empty value removes the property.\n"
            "TotalEditTime(second) holds minutes, as Office stores it.\n"
            "\n"
            "Custom property types: text, int, real, bool (true or false), date.\n";
    return text + std::string(customTypes);
}

std::string ExitCodesHelp()
{
    return "Exit codes:\n"
           "  0    every package was read (and saved, where the command saves)\n"
           "  1    some package or folder could not be read or saved; each is named on stderr\n"
           "  2    a usage error; nothing was written\n"
           "  130  Ctrl+C stopped set, import or undo: the packages in hand were finished, the\n"
           "       others are named as not saved (143 for SIGTERM, 129 for SIGHUP: 128 + the\n"
           "       signal's number)\n";
}

} // namespace cli
