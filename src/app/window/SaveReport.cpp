#include "app/window/SaveReport.h"

#include "editing/QtText.h"
#include "engine/base/PathMessage.h"
#include "engine/package/OtherProgramLock.h"
#include "engine/package/SamePackage.h"

#include <QStringList>

namespace app {

namespace {

// One paragraph of the details: a heading and one package a line.
void AddSection(QStringList& details, const QString& heading, const QStringList& lines)
{
    if (!lines.isEmpty()) {
        details << heading + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    }
}

} // namespace

QString SaveReportText(const engine::SaveRunReport& report,
                       const std::vector<const engine::DocumentRecord*>& records,
                       const std::set<std::string>& skipped)
{
    if (!report.JournalFailure.empty()) {
        return QStringLiteral("Nothing was saved: %1").arg(editing::ToQString(report.JournalFailure));
    }
    QStringList failures;
    QStringList notSaved;
    QStringList openElsewhere;
    std::size_t skippedCount = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const engine::SaveResult& result = report.Results[i];
        if (!result.FirstOfPackage) {
            continue;
        }
        const std::string& path = records[i]->FullPath;
        if (result.State == engine::SaveState::Failed && engine::IsOpenElsewhereMessage(result.Message)) {
            if (skipped.count(engine::SamePackageKey(path)) > 0) {
                ++skippedCount;
            } else {
                openElsewhere << editing::ToQString(engine::PathMessage(path, result.Message));
            }
        } else if (result.State == engine::SaveState::Failed) {
            failures << editing::ToQString(engine::PathMessage(path, result.Message));
        } else if (result.State == engine::SaveState::NotSaved) {
            notSaved << editing::ToQString(path);
        }
    }
    QStringList summary;
    if (!failures.isEmpty()) {
        summary << QStringLiteral("%1 package(s) could not be saved and keep their changes.")
                       .arg(failures.size());
    }
    if (!openElsewhere.isEmpty()) {
        summary << QStringLiteral("%1 package(s) were not saved: another program has them open.")
                       .arg(openElsewhere.size());
    }
    if (!notSaved.isEmpty()) {
        summary
            << QStringLiteral("%1 package(s) were not saved: the save was cancelled.").arg(notSaved.size());
    }
    if (!report.JournalFinishFailure.empty()) {
        summary << QStringLiteral("The save journal could not be completed: %1")
                       .arg(editing::ToQString(report.JournalFinishFailure));
    }
    if (summary.isEmpty()) {
        return {};
    }
    summary.prepend(QStringLiteral("Saved %1 of %2 package(s).")
                        .arg(report.Saved)
                        .arg(report.Saved + report.Failed + report.NotSaved - skippedCount));
    QStringList details;
    AddSection(details, QStringLiteral("These packages could not be saved and keep their changes:"),
               failures);
    AddSection(details, QStringLiteral("These packages were not saved and keep their changes:"),
               openElsewhere);
    AddSection(details, QStringLiteral("These packages were not saved (the save was cancelled):"), notSaved);
    return summary.join(QLatin1Char(' ')) +
           (details.isEmpty() ? QString() : QStringLiteral("\n\n") + details.join(QStringLiteral("\n\n")));
}

QString UndoReportText(const std::vector<std::string>& packages,
                       const std::vector<engine::UndoOutcome>& outcomes,
                       const std::vector<bool>& ran)
{
    QStringList failures;
    QStringList notRestored;
    std::size_t restored = 0;
    for (std::size_t i = 0; i < packages.size(); ++i) {
        if (!ran[i]) {
            notRestored << editing::ToQString(packages[i]);
        } else if (outcomes[i].ok) {
            ++restored;
        } else {
            failures << editing::ToQString(engine::PathMessage(packages[i], outcomes[i].message));
        }
    }
    if (failures.isEmpty() && notRestored.isEmpty()) {
        return {};
    }
    QString summary = QStringLiteral("Restored %1 of %2 package(s).").arg(restored).arg(packages.size());
    if (!failures.isEmpty()) {
        summary +=
            QStringLiteral(" %1 could not be restored and were left as they are.").arg(failures.size());
    }
    if (!notRestored.isEmpty()) {
        summary += QStringLiteral(" %1 were not restored: the undo was cancelled.").arg(notRestored.size());
    }
    QStringList details;
    AddSection(details, QStringLiteral("These packages were not restored:"), failures);
    AddSection(details, QStringLiteral("These packages were not restored (the undo was cancelled):"),
               notRestored);
    return summary + QStringLiteral("\n\n") + details.join(QStringLiteral("\n\n"));
}

QString SaveStatusText(const engine::SaveRunReport& report)
{
    if (!report.JournalFailure.empty()) {
        return QStringLiteral("Nothing was saved");
    }
    QString text = QStringLiteral("Saved %1 %2")
                       .arg(report.Saved)
                       .arg(report.Saved == 1 ? QStringLiteral("package") : QStringLiteral("packages"));
    // A package refused for its lock file was left alone, not failed.
    std::size_t openElsewhere = 0;
    for (const engine::SaveResult& result : report.Results) {
        if (result.FirstOfPackage && result.State == engine::SaveState::Failed &&
            engine::IsOpenElsewhereMessage(result.Message)) {
            ++openElsewhere;
        }
    }
    if (report.Failed > openElsewhere) {
        text += QStringLiteral(", %1 failed").arg(report.Failed - openElsewhere);
    }
    if (report.NotSaved + openElsewhere > 0) {
        text += QStringLiteral(", %1 not saved").arg(report.NotSaved + openElsewhere);
    }
    return text;
}

} // namespace app
