#include "app/window/SaveReport.h"

#include "editing/QtText.h"
#include "engine/base/PathMessage.h"

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
                       const std::vector<const engine::DocumentRecord*>& records)
{
    if (!report.JournalFailure.empty()) {
        return QStringLiteral("Nothing was saved: %1").arg(editing::ToQString(report.JournalFailure));
    }
    QStringList failures;
    QStringList notSaved;
    QStringList signedPackages;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const engine::SaveResult& result = report.Results[i];
        if (!result.FirstOfPackage) {
            continue;
        }
        const std::string& path = records[i]->FullPath;
        if (result.State == engine::SaveState::Failed) {
            failures << editing::ToQString(engine::PathMessage(path, result.Message));
        } else if (result.State == engine::SaveState::NotSaved) {
            notSaved << editing::ToQString(path);
        } else if (result.State == engine::SaveState::Saved && !records[i]->LastWarning.empty()) {
            signedPackages << editing::ToQString(path);
        }
    }
    QStringList summary;
    if (!failures.isEmpty()) {
        summary << QStringLiteral("%1 package(s) could not be saved and keep their changes.")
                       .arg(failures.size());
    }
    if (!notSaved.isEmpty()) {
        summary
            << QStringLiteral("%1 package(s) were not saved: the save was cancelled.").arg(notSaved.size());
    }
    if (!signedPackages.isEmpty()) {
        summary << QStringLiteral(
                       "%1 saved package(s) were digitally signed; their signatures may no longer verify.")
                       .arg(signedPackages.size());
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
                        .arg(report.Saved + report.Failed + report.NotSaved));
    QStringList details;
    AddSection(details, QStringLiteral("These packages could not be saved and keep their changes:"),
               failures);
    AddSection(details, QStringLiteral("These packages were not saved (the save was cancelled):"), notSaved);
    AddSection(details,
               QStringLiteral("These packages were digitally signed; their signatures may no longer verify:"),
               signedPackages);
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
    if (report.Failed > 0) {
        text += QStringLiteral(", %1 failed").arg(report.Failed);
    }
    if (report.NotSaved > 0) {
        text += QStringLiteral(", %1 not saved").arg(report.NotSaved);
    }
    return text;
}

} // namespace app
