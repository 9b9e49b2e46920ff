#include "cli/TimeZoneOption.h"

#include "engine/record/DateConvert.h"

#include <cstdlib>
#include <ctime>

namespace cli {

void AddTimeZoneOption(CLI::App& command, std::string& zone)
{
    command
        .add_option("--zone", zone,
                    "The time zone of dates without an offset, as a zone name such as Europe/Berlin or UTC "
                    "(default: the local zone, TZ); dates with Z or an offset name their instant")
        ->type_name("ZONE")
        ->check(CLI::Validator(
            [](const std::string& name) {
                return engine::IsKnownTimeZone(name)
                           ? std::string()
                           : "unknown time zone \"" + name +
                                 "\" (give a zone name such as Europe/Berlin or UTC)";
            },
            ""));
}

void UseTimeZone(const std::string& zone)
{
    if (zone.empty()) {
        return;
    }
    setenv("TZ", zone.c_str(), 1);
    tzset();
}

} // namespace cli
