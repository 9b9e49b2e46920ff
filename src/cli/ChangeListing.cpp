#include "cli/ChangeListing.h"

#include "archive/Utf8.h"
#include "cli/Diagnostics.h"
#include "cli/JsonWriter.h"
#include "engine/base/AbsolutePath.h"
#include "engine/package/OfficeExtensions.h"

namespace cli {

namespace {

std::string Quoted(const std::string& text)
{
    return JsonString(archive::RepairUtf8(text, archive::kReplacementCharacter));
}

} // namespace

ChangeListing::ChangeListing(std::ostream& out, bool json)
    : m_out(out)
    , m_json(json)
{
    if (m_json) {
        m_out << '[';
    }
}

void ChangeListing::Add(const std::string& package,
                        const std::vector<engine::PendingChange>& changes,
                        std::ostream* warnings)
{
    if (warnings != nullptr && !changes.empty() && engine::PackageIsSigned(package)) {
        *warnings << PathComplaint(package, engine::kSignatureWarning) << '\n';
    }
    for (const engine::PendingChange& change : changes) {
        const std::string name = engine::ChangeName(change);
        if (m_json) {
            // FullPath as show --json and the tables give it, so that the listings can be joined.
            m_out << (m_first ? "\n" : ",\n") << "  {\"FullPath\": " << Quoted(engine::AbsolutePath(package))
                  << ", \"Property\": " << Quoted(name) << ", \"Old\": " << Quoted(change.Old)
                  << ", \"New\": " << Quoted(change.New) << "}";
        } else {
            m_out << archive::RepairUtf8(package, archive::kReplacementCharacter) << ": "
                  << archive::RepairUtf8(name, archive::kReplacementCharacter) << ": " << Quoted(change.Old)
                  << " -> " << Quoted(change.New) << '\n';
        }
        m_first = false;
    }
}

void ChangeListing::Finish()
{
    if (m_json) {
        m_out << (m_first ? "]\n" : "\n]\n");
    }
}

} // namespace cli
