// The stored-date and local-date conversions on arbitrary text, in several zones (the first byte
// picks one). A text that converts must give a valid 19-character local text, and that text must
// survive the trip to the stored form and back unchanged.
#include "FuzzSupport.h"

#include "engine/record/DateConvert.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

constexpr std::array<const char*, 5> kZones = {
    "UTC", "Europe/Berlin", "America/St_Johns", "Pacific/Kiritimati", "Australia/Lord_Howe",
};

std::size_t g_zone = kZones.size();

void UseZone(std::size_t zone)
{
    if (zone != g_zone) {
        setenv("TZ", kZones[zone], 1);
        tzset();
        g_zone = zone;
    }
}

void CheckLocalText(const std::string& local, std::string_view from)
{
    if (local.size() != 19 || !engine::ParseLocalText(local)) {
        fuzzing::Fail("not a valid local text:", local);
    }
    const auto stored = engine::LocalTextToStoredDate(local);
    if (!stored) {
        fuzzing::Fail("a local text made from a stored date does not convert back:", std::string(from) + " -> " + local);
    }
    const auto again = engine::StoredDateToLocalText(*stored);
    if (!again || *again != local) {
        fuzzing::Fail("local text changed on the round trip:", local + " -> " + *stored + " -> " + again.value_or("(none)"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    UseZone(data[0] % kZones.size());
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    if (const auto utc = engine::ParseStoredDate(text); utc && !engine::IsValidDateTime(*utc)) {
        fuzzing::Fail("ParseStoredDate accepted an impossible date-time:", text);
    }
    // A stored date whose offset moves it out of the years 0001..9999 in UTC is still shown when its
    // local time is inside them, but it cannot be stored again; a save of it is refused.
    if (const auto local = engine::StoredDateToLocalText(text); local && engine::ParseStoredDate(text)) {
        CheckLocalText(*local, text);
    }
    if (const auto stored = engine::LocalTextToStoredDate(text)) {
        if (stored->size() != 20 || !engine::ParseStoredDate(*stored)) {
            fuzzing::Fail("LocalTextToStoredDate wrote an unreadable date:", text + " -> " + *stored);
        }
    }
    return 0;
}
