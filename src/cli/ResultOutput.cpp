#include "cli/ResultOutput.h"

#include "archive/Utf8.h"
#include "cli/JsonWriter.h"
#include "engine/base/AbsolutePath.h"

namespace cli {

namespace {

std::string Quoted(std::string_view text)
{
    return JsonString(archive::RepairUtf8(std::string(text), archive::kReplacementCharacter));
}

bool Failure(std::string_view outcome)
{
    return outcome == "failed" || outcome == "not saved" || outcome == "not restored";
}

} // namespace

void AddOutputFormOptions(CLI::App& command, OutputForm& form, const std::string& what)
{
    CLI::Option* json = command.add_flag_callback(
        "--json", [&form] { form = OutputForm::Json; }, "Write " + what + " as a JSON array");
    CLI::Option* lines = command.add_flag_callback(
        "--jsonl", [&form] { form = OutputForm::JsonLines; }, "Write " + what + " as JSON Lines, one object a line");
    json->excludes(lines);
}

std::string JsonChanges(const std::vector<engine::PendingChange>& changes)
{
    std::string json = "[";
    for (const engine::PendingChange& change : changes) {
        json += json.size() == 1 ? "" : ", ";
        json += "{\"Property\": " + Quoted(engine::ChangeName(change)) + ", \"Old\": " + Quoted(change.Old) +
                ", \"New\": " + Quoted(change.New) + "}";
    }
    return json + "]";
}

ResultListing::ResultListing(std::ostream& out, OutputForm form, bool quiet)
    : m_out(out)
    , m_form(form)
    , m_quiet(quiet)
{
    if (m_form == OutputForm::Json) {
        m_out << '[';
    }
}

void ResultListing::Add(const std::string& path,
                        std::string_view outcome,
                        std::string_view message,
                        const std::vector<engine::PendingChange>& changes)
{
    if (m_form == OutputForm::Text) {
        if (!m_quiet && !Failure(outcome)) {
            m_out << path << ": " << (message.empty() ? outcome : message) << '\n';
        }
        return;
    }
    const std::string object = "{\"FullPath\": " + Quoted(engine::AbsolutePath(path)) +
                               ", \"Outcome\": " + Quoted(outcome) +
                               ", \"Message\": " + (message.empty() ? std::string("null") : Quoted(message)) +
                               ", \"Changes\": " + JsonChanges(changes) + "}";
    if (m_form == OutputForm::Json) {
        m_out << (m_first ? "\n  " : ",\n  ") << object;
    } else {
        m_out << object << '\n';
    }
    m_first = false;
}

void ResultListing::Finish()
{
    if (m_form == OutputForm::Json) {
        m_out << (m_first ? "]\n" : "\n]\n");
    }
}

} // namespace cli
