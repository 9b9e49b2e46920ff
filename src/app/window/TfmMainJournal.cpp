// The window's settings, remembered between runs: how saves are written (journal, modification
// times), review before saving, the custom property and statistics columns and the Details pane.
// Saving packages open in other programs lasts only until the program ends.
#include "app/details/DetailsPane.h"
#include "app/grid/DocumentTableModel.h"
#include "app/settings/AppSettings.h"
#include "app/settings/OfficeSettings.h"
#include "app/window/TfmMain.h"

#include <QAction>
#include <QSignalBlocker>

namespace app {

namespace {

const QString kJournalKey = QStringLiteral("save/journal");
const QString kKeepTimeKey = QStringLiteral("save/keepModificationTime");
// Where an older version remembered the choice to save packages open elsewhere; removed unread.
const QString kFormerLockedKey = QStringLiteral("save/packagesOpenElsewhere");
const QString kReviewKey = QStringLiteral("save/reviewFirst");
const QString kStatisticsKey = QStringLiteral("grid/statisticsColumns");
const QString kDetailsKey = QStringLiteral("view/details");

} // namespace

void TfmMain::restoreCommandSettings()
{
    const std::unique_ptr<QSettings> settings = AppSettings();
    setSaveOptions(settings->value(kJournalKey, true).toBool(),
                   settings->value(kKeepTimeKey, false).toBool());
    // Saving packages open in other programs is chosen for one run of the program only, so a stored
    // choice is dropped: a later run would overwrite decks open elsewhere without a word.
    settings->remove(kFormerLockedKey);
    setSaveLockedPackages(false);
    setReviewBeforeSave(settings->value(kReviewKey, false).toBool());
    const bool showCustom = ShowCustomPropertiesSetting();
    if (auto* action = findChild<QAction*>(QStringLiteral("actShowCustomProperties"))) {
        const QSignalBlocker quiet(action);
        action->setChecked(showCustom);
    }
    m_model->setCustomColumnsShown(showCustom);
    const bool showStatistics = settings->value(kStatisticsKey, false).toBool();
    if (auto* action = findChild<QAction*>(QStringLiteral("actShowStatistics"))) {
        const QSignalBlocker quiet(action);
        action->setChecked(showStatistics);
    }
    m_model->setStatisticColumnsShown(showStatistics);
    // The pane is made after the actions; it takes the state from its action then.
    if (auto* action = findChild<QAction*>(QStringLiteral("actDetails"))) {
        const QSignalBlocker quiet(action);
        action->setChecked(settings->value(kDetailsKey, false).toBool());
    }
}

void TfmMain::showStatisticsColumns(bool shown)
{
    AppSettings()->setValue(kStatisticsKey, shown);
    m_model->setStatisticColumnsShown(shown);
}

// A choice of the user is remembered; the setters alone (tests) are not.
void TfmMain::rememberJournalSaves(bool journal)
{
    setSaveOptions(journal, m_keepModificationTime);
    AppSettings()->setValue(kJournalKey, journal);
}

void TfmMain::rememberKeepModificationTime(bool keep)
{
    setSaveOptions(m_journalSaves, keep);
    AppSettings()->setValue(kKeepTimeKey, keep);
}

void TfmMain::rememberReviewBeforeSave(bool review)
{
    setReviewBeforeSave(review);
    AppSettings()->setValue(kReviewKey, review);
}

void TfmMain::showDetailsPane(bool shown)
{
    if (auto* action = findChild<QAction*>(QStringLiteral("actDetails"))) {
        const QSignalBlocker quiet(action);
        action->setChecked(shown);
    }
    m_details->setVisible(shown);
    AppSettings()->setValue(kDetailsKey, shown);
}

void TfmMain::setSaveOptions(bool journal, bool keepModificationTime)
{
    m_journalSaves = journal;
    m_keepModificationTime = keepModificationTime;
    for (const auto& [name, checked] : {std::pair{"actJournalSaves", journal},
                                        std::pair{"actKeepModificationTime", keepModificationTime}}) {
        if (auto* action = findChild<QAction*>(QString::fromLatin1(name))) {
            const QSignalBlocker quiet(action);
            action->setChecked(checked);
        }
    }
}

void TfmMain::setSaveLockedPackages(bool save)
{
    m_saveLockedPackages = save;
    if (auto* action = findChild<QAction*>(QStringLiteral("actSaveLockedPackages"))) {
        const QSignalBlocker quiet(action);
        action->setChecked(save);
    }
}

} // namespace app
