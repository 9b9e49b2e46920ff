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

ChangeListing::ChangeListing(std::ostream& out, OutputForm form)
    : m_out(out)
    , m_form(form)
{
    if (m_form == OutputForm::Json) {
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
        if (m_form != OutputForm::Text) {
            // FullPath as show --json and the tables give it, so that the listings can be joined.
            if (m_form == OutputForm::Json) {
                m_out << (m_first ? "\n  " : ",\n  ");
            }
            m_out << "{\"FullPath\": " << Quoted(engine::AbsolutePath(package)) << ", \"Property\": " << Quoted(name)
                  << ", \"Old\": " << Quoted(change.Old) << ", \"New\": " << Quoted(change.New) << "}";
            if (m_form == OutputForm::JsonLines) {
                m_out << '\n';
            }
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
    if (m_form == OutputForm::Json) {
        m_out << (m_first ? "]\n" : "\n]\n");
    }
}

} // namespace cli
