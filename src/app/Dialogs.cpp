#include "app/Dialogs.h"

#include <QFileDialog>
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
    std::optional<QMessageBox::StandardButton> answer;
    QList<Dialogs::Message> shown;
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

} // namespace

QStringList Dialogs::openFileNames(QWidget* parent, const QString& filter)
{
    if (auto preset = take(answers().fileNames)) {
        return *preset;
    }
    if (answers().testMode) {
        return {};
    }
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(qtFilter(filter));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

QString Dialogs::existingDirectory(QWidget* parent)
{
    if (auto preset = take(answers().folder)) {
        return *preset;
    }
    if (answers().testMode) {
        return {};
    }
    return QFileDialog::getExistingDirectory(parent, QString());
}

QString Dialogs::saveFileName(QWidget* parent, const QString& defaultSuffix, const QString& filter)
{
    if (auto preset = take(answers().saveFileName)) {
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QMessageBox::StandardButton Dialogs::question(QWidget* parent, const QString& title, const QString& text)
{
    if (auto preset = take(answers().answer)) {
        answers().shown.append({title, text});
        return *preset;
    }
    if (answers().testMode) {
        answers().shown.append({title, text});
        return QMessageBox::No;
    }
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

void Dialogs::warning(QWidget* parent, const QString& title, const QString& text)
{
    if (answers().testMode) {
        answers().shown.append({title, text});
        return;
    }
    QMessageBox::warning(parent, title, text);
}

void Dialogs::critical(QWidget* parent, const QString& title, const QString& text)
{
    if (answers().testMode) {
        answers().shown.append({title, text});
        return;
    }
    QMessageBox::critical(parent, title, text);
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
    answers().answer = answer;
}

QList<Dialogs::Message> Dialogs::takeShownMessages()
{
    return std::exchange(answers().shown, {});
}

} // namespace app
