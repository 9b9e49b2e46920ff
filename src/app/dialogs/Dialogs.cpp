#include "app/dialogs/Dialogs.h"

#include "app/settings/AppSettings.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QWidget>

#include <optional>
#include <utility>

namespace app {

namespace {

struct Answers
{
    bool testMode = false;
    std::optional<QStringList> fileNames;
    std::optional<QString> folder;
    std::optional<QString> saveFileName;
    QList<QMessageBox::StandardButton> nextAnswers;
    std::optional<int> nextChoice;
    std::optional<bool> openUrlResult;
    QList<Dialogs::Message> shown;
    QList<QUrl> openedUrls;
    QString testBusAddress;
};

Answers& answers()
{
    static Answers instance;
    return instance;
}

template <typename T> std::optional<T> take(std::optional<T>& slot)
{
    std::optional<T> value;
    value.swap(slot);
    return value;
}

// The folder a dialog was last used in, and remembering the one just used.
QString LastFolder(const QString& settingsKey)
{
    return AppSettings()->value(QStringLiteral("dialogs/") + settingsKey).toString();
}

void RememberFolder(const QString& settingsKey, const QString& chosen, bool isFolder)
{
    if (chosen.isEmpty()) {
        return;
    }
    const QString folder = isFolder ? chosen : QFileInfo(chosen).absolutePath();
    AppSettings()->setValue(QStringLiteral("dialogs/") + settingsKey, folder);
}

// A question with more lines than this shows its first paragraph, the rest in the details area.
constexpr qsizetype kLongestQuestionLines = 15;

std::optional<QMessageBox::StandardButton> TakeAnswer()
{
    if (answers().nextAnswers.isEmpty()) {
        return std::nullopt;
    }
    return answers().nextAnswers.takeFirst();
}

// A message box whose text is the report's first paragraph, the rest in its details area.
void ShowReport(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    const auto [summary, details] = Dialogs::summaryAndDetails(text);
    QMessageBox box(icon, title, summary, QMessageBox::Ok, parent);
    if (!details.isEmpty()) {
        box.setDetailedText(details);
    }
    box.exec();
}

// In test mode a message box is recorded instead of shown; true then.
bool RecordedInTestMode(const QString& title, const QString& text)
{
    if (!answers().testMode) {
        return false;
    }
    answers().shown.append({title, text});
    return true;
}

constexpr const char* kFileManagerService = "org.freedesktop.FileManager1";
constexpr int kFileManagerTimeoutMs = 5000;

// The message bus the file manager is asked on: the user's, or in test mode only the one a test
// named (none unless named), so that no test reaches the desktop.
std::optional<QDBusConnection> FileManagerBus()
{
    if (!answers().testMode) {
        return QDBusConnection::sessionBus();
    }
    if (answers().testBusAddress.isEmpty()) {
        return std::nullopt;
    }
    return QDBusConnection::connectToBus(answers().testBusAddress, QStringLiteral("velmoraTestBus"));
}

// True when the bus has a file manager service, running or to be started on the first call.
bool HasFileManager(const QDBusConnection& bus)
{
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return false;
    }
    const QString service = QString::fromLatin1(kFileManagerService);
    if (bus.interface()->isServiceRegistered(service)) {
        return true;
    }
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(service);
}

} // namespace

QStringList Dialogs::openFileNames(QWidget* parent, const QString& filter, const QString& settingsKey)
{
    if (auto preset = take(answers().fileNames)) {
        if (!preset->isEmpty()) {
            RememberFolder(settingsKey, preset->constFirst(), false);
        }
        return *preset;
    }
    if (answers().testMode) {
        return {};
    }
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(qtFilter(filter));
    dialog.setSizeGripEnabled(true);
    dialog.setDirectory(LastFolder(settingsKey));
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty()) {
        RememberFolder(settingsKey, files.constFirst(), false);
    }
    return files;
}

QString Dialogs::existingDirectory(QWidget* parent, const QString& settingsKey)
{
    if (auto preset = take(answers().folder)) {
        RememberFolder(settingsKey, *preset, true);
        return *preset;
    }
    if (answers().testMode) {
        return {};
    }
    const QString folder = QFileDialog::getExistingDirectory(parent, QString(), LastFolder(settingsKey));
    RememberFolder(settingsKey, folder, true);
    return folder;
}

QString Dialogs::saveFileName(QWidget* parent,
                              const QString& defaultSuffix,
                              const QString& filter,
                              const QString& settingsKey)
{
    if (auto preset = take(answers().saveFileName)) {
        RememberFolder(settingsKey, *preset, false);
        return *preset;
    }
    if (answers().testMode) {
        return {};
    }
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The overwrite question is asked by the caller, in its own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(defaultSuffix.startsWith('.') ? defaultSuffix.mid(1) : defaultSuffix);
    dialog.setNameFilter(qtFilter(filter));
    dialog.setDirectory(LastFolder(settingsKey));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    RememberFolder(settingsKey, dialog.selectedFiles().constFirst(), false);
    return dialog.selectedFiles().constFirst();
}

QMessageBox::StandardButton Dialogs::question(QWidget* parent, const QString& title, const QString& text)
{
    if (auto preset = TakeAnswer()) {
        answers().shown.append({title, text});
        return *preset;
    }
    if (RecordedInTestMode(title, text)) {
        return QMessageBox::No;
    }
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

bool Dialogs::ask(
    QWidget* parent, const QString& title, const QString& text, const QString& yesText, const QString& noText)
{
    if (auto preset = TakeAnswer()) {
        answers().shown.append({title, text});
        return *preset == QMessageBox::Yes;
    }
    if (RecordedInTestMode(title, text)) {
        return false;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    if (text.count(QLatin1Char('\n')) > kLongestQuestionLines) {
        const auto [summary, details] = summaryAndDetails(text);
        box.setText(summary);
        box.setDetailedText(details);
    }
    QPushButton* yes = box.addButton(yesText, QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(noText, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<int>
Dialogs::choose(QWidget* parent, const QString& title, const QString& text, const QStringList& choices)
{
    if (auto preset = take(answers().nextChoice)) {
        answers().shown.append({title, text});
        return *preset >= 0 && *preset < choices.size() ? std::optional<int>(*preset) : std::nullopt;
    }
    if (RecordedInTestMode(title, text)) {
        return std::nullopt;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QList<QPushButton*> buttons;
    for (const QString& choice : choices) {
        buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
    }
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    if (!buttons.isEmpty()) {
        box.setDefaultButton(buttons.constFirst());
    }
    box.setEscapeButton(cancel);
    box.exec();
    const auto chosen = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return chosen >= 0 ? std::optional<int>(static_cast<int>(chosen)) : std::nullopt;
}

void Dialogs::information(QWidget* parent, const QString& title, const QString& text)
{
    if (!RecordedInTestMode(title, text)) {
        ShowReport(parent, QMessageBox::Information, title, text);
    }
}

void Dialogs::warning(QWidget* parent, const QString& title, const QString& text)
{
    if (!RecordedInTestMode(title, text)) {
        ShowReport(parent, QMessageBox::Warning, title, text);
    }
}

void Dialogs::critical(QWidget* parent, const QString& title, const QString& text)
{
    if (!RecordedInTestMode(title, text)) {
        ShowReport(parent, QMessageBox::Critical, title, text);
    }
}

bool Dialogs::openUrl(const QUrl& url)
{
    if (answers().testMode) {
        answers().openedUrls.append(url);
        return take(answers().openUrlResult).value_or(false);
    }
    return QDesktopServices::openUrl(url);
}

void Dialogs::showFileInFolder(QObject* context,
                               const QString& filePath,
                               std::function<void(bool shown)> done)
{
    const QString folder = QFileInfo(filePath).absolutePath();
    // Without a file manager on the bus the folder goes to the desktop, which may not select the file.
    const auto fallBack = [folder, done] { done(openUrl(QUrl::fromLocalFile(folder))); };
    const std::optional<QDBusConnection> bus = FileManagerBus();
    if (!bus || !HasFileManager(*bus)) {
        fallBack();
        return;
    }
    const QString service = QString::fromLatin1(kFileManagerService);
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/FileManager1"), service, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(filePath).toString()} << QString();
    // Asynchronous: a file manager being started must not freeze the window.
    auto* watcher = new QDBusPendingCallWatcher(bus->asyncCall(call, kFileManagerTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [fallBack, done](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         if (finished->isError()) {
                             fallBack();
                         } else {
                             done(true);
                         }
                     });
}

QString Dialogs::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2) {
        return filter;
    }
    // Description and patterns alternate; Qt separates the filters by ";;".
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        // A description that already names its patterns in brackets is read as is by Qt.
        filters << (description.endsWith(QStringLiteral("(%1)").arg(patterns))
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return filters.join(QStringLiteral(";;"));
}

void Dialogs::setTestMode(bool on)
{
    answers().testMode = on;
}

void Dialogs::setNextFileNames(const QStringList& names)
{
    answers().fileNames = names;
}

void Dialogs::setNextFolder(const QString& folder)
{
    answers().folder = folder;
}

void Dialogs::setNextSaveFileName(const QString& name)
{
    answers().saveFileName = name;
}

void Dialogs::setNextAnswer(QMessageBox::StandardButton answer)
{
    answers().nextAnswers = {answer};
}

void Dialogs::setNextAnswers(const QList<QMessageBox::StandardButton>& next)
{
    answers().nextAnswers = next;
}

void Dialogs::setNextChoice(int choice)
{
    answers().nextChoice = choice;
}

QList<Dialogs::Message> Dialogs::takeShownMessages()
{
    return std::exchange(answers().shown, {});
}

void Dialogs::setNextOpenUrlResult(bool opened)
{
    answers().openUrlResult = opened;
}

QList<QUrl> Dialogs::takeOpenedUrls()
{
    return std::exchange(answers().openedUrls, {});
}

void Dialogs::setTestBus(const QString& address)
{
    answers().testBusAddress = address;
}

std::pair<QString, QString> Dialogs::summaryAndDetails(const QString& text)
{
    const qsizetype cut = text.indexOf(QStringLiteral("\n\n"));
    if (cut < 0) {
        return {text, QString()};
    }
    return {text.left(cut), text.mid(cut + 2)};
}

} // namespace app
