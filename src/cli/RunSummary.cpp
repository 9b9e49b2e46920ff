#include "cli/RunSummary.h"

#include "cli/CommandLine.h"
#include "cli/Diagnostics.h"
#include "cli/Interrupt.h"

namespace cli {

RunTally& RunTally::operator+=(const RunTally& other)
{
    Saved += other.Saved;
    Unchanged += other.Unchanged;
    Failed += other.Failed;
    Interrupted = Interrupted || other.Interrupted;
    return *this;
}

std::string GroupedCount(std::size_t count)
{
    const std::string digits = std::to_string(count);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

std::string SummaryText(const RunTally& tally, RunKind kind)
{
    if (kind == RunKind::Undo) {
        return GroupedCount(tally.Saved) + " restored, " + GroupedCount(tally.Failed) + " failed";
    }
    return GroupedCount(tally.Saved) + " saved, " + GroupedCount(tally.Unchanged) + " unchanged, " +
           GroupedCount(tally.Failed) + " failed";
}

void ReportSummary(const RunTally& tally, bool quiet, RunKind kind)
{
    if (!quiet) {
        Complain(SummaryText(tally, kind));
    }
}

void FinishRun(const RunTally& tally, bool quiet, RunKind kind)
{
    ReportSummary(tally, quiet, kind);
    FinishCommand(tally.Interrupted ? InterruptScope::ExitStatus()
                  : tally.Failed == 0 ? kExitOk
                                      : kExitFailures);
}

} // namespace cli
