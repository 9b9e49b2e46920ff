// The window's save journal entries: Undo Last Save and Remove Personal Information in the Edit
// menu, and the save settings in the Options menu, remembered between runs.
#include "app/AppSettings.h"
#include "app/TfmMain.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

namespace app {

namespace {

const QString kJournalKey = QStringLiteral("save/journal");
const QString kKeepTimeKey = QStringLiteral("save/keepModificationTime");
const QString kLockedKey = QStringLiteral("save/packagesOpenElsewhere");

} // namespace

void TfmMain::buildJournalActions()
{
    auto* undoLast = new QAction(QStringLiteral("Undo &Last Save"), this);
    undoLast->setObjectName(QStringLiteral("actUndoLastSave"));
    connect(undoLast, &QAction::triggered, this, &TfmMain::undoLastSave);
    auto* removePersonal = new QAction(QStringLiteral("Remove &Personal Information…"), this);
    removePersonal->setObjectName(QStringLiteral("actRemovePersonalInfo"));
    connect(removePersonal, &QAction::triggered, this, &TfmMain::removePersonalInfo);
    for (QAction* action : {undoLast, removePersonal}) {
        addAction(action);
        m_commandActions.push_back(action); // disabled while a long command runs
    }
    // Undo Last Save joins Undo and Redo; Remove Personal Information follows Batch Modify.
    const auto entryAfter = [this](const char* name) {
        const QList<QAction*> entries = m_editMenu->actions();
        const qsizetype at = entries.indexOf(findChild<QAction*>(QString::fromLatin1(name)));
        return at >= 0 && at + 1 < entries.size() ? entries[at + 1] : nullptr;
    };
    m_editMenu->insertAction(entryAfter("actRedo"), undoLast);
    m_editMenu->insertAction(entryAfter("actBatchModify"), removePersonal);

    auto* journal = new QAction(QStringLiteral("&Record Saves for Undo Last Save"), this);
    journal->setObjectName(QStringLiteral("actJournalSaves"));
    auto* keepTime = new QAction(QStringLiteral("&Keep Modification Times"), this);
    keepTime->setObjectName(QStringLiteral("actKeepModificationTime"));
    for (QAction* setting : {journal, keepTime}) {
        setting->setCheckable(true);
        m_optionsMenu->addAction(setting);
        // A choice of the user is remembered; setSaveOptions alone (tests) is not.
        connect(setting, &QAction::triggered, this, [this, journal, keepTime] {
            setSaveOptions(journal->isChecked(), keepTime->isChecked());
            const std::unique_ptr<QSettings> settings = AppSettings();
            settings->setValue(kJournalKey, m_journalSaves);
            settings->setValue(kKeepTimeKey, m_keepModificationTime);
        });
    }
    auto* locked = new QAction(QStringLiteral("Save Packages &Open in Other Programs"), this);
    locked->setObjectName(QStringLiteral("actSaveLockedPackages"));
    locked->setCheckable(true);
    m_optionsMenu->addAction(locked);
    connect(locked, &QAction::triggered, this, [this](bool checked) {
        setSaveLockedPackages(checked);
        AppSettings()->setValue(kLockedKey, checked);
    });
    const std::unique_ptr<QSettings> settings = AppSettings();
    setSaveOptions(settings->value(kJournalKey, true).toBool(),
                   settings->value(kKeepTimeKey, false).toBool());
    setSaveLockedPackages(settings->value(kLockedKey, false).toBool());
}

void TfmMain::setSaveLockedPackages(bool save)
{
    m_saveLockedPackages = save;
    if (auto* action = findChild<QAction*>(QStringLiteral("actSaveLockedPackages"))) {
        const QSignalBlocker quiet(action);
        action->setChecked(save);
    }
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

} // namespace app
