#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>
#include <utility>

class QWidget;

namespace app {

// Every dialog the window opens goes through here, so that a test can answer it in advance and
// no dialog ever blocks a test run. In test mode an unanswered file or folder dialog counts as
// cancelled, an unanswered question as No, and message boxes are recorded instead of shown.
class Dialogs
{
public:
    struct Message
    {
        QString title;
        QString text;
    };

    // Each file dialog starts in the folder it was last used in (remembered under settingsKey).
    static QStringList openFileNames(QWidget* parent, const QString& filter, const QString& settingsKey);
    static QString existingDirectory(QWidget* parent, const QString& settingsKey);
    static QString saveFileName(QWidget* parent,
                                const QString& defaultSuffix,
                                const QString& filter,
                                const QString& settingsKey);
    static QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text);
    // A question whose two buttons say what they do (yesText is the default, say "Save Anyway";
    // noText, say "Skip", is also what Escape and closing the box answer); true for yesText. A text
    // of several paragraphs longer than a screenful keeps its first paragraph in the box and the
    // rest in the details area. Answered in advance as question is: Yes for yesText, No for noText.
    static bool ask(QWidget* parent,
                    const QString& title,
                    const QString& text,
                    const QString& yesText,
                    const QString& noText);
    // A question with a button for each choice, in order (the first is the default), and Cancel
    // (also Escape and closing the box): the index of the choice, std::nullopt for Cancel. Answered
    // in advance by setNextChoice; unanswered in test mode it is Cancel.
    static std::optional<int>
    choose(QWidget* parent, const QString& title, const QString& text, const QStringList& choices);
    // A text of several paragraphs is shown as its first paragraph, with the rest in the box's
    // details area, so that a list of packages never makes the box taller than the screen.
    static void information(QWidget* parent, const QString& title, const QString& text);
    static void warning(QWidget* parent, const QString& title, const QString& text);
    static void critical(QWidget* parent, const QString& title, const QString& text);
    // The summary and the details of such a text.
    [[nodiscard]] static std::pair<QString, QString> summaryAndDetails(const QString& text);
    // Hands url to the desktop; false when nothing took it. In test mode nothing is opened: the
    // url is recorded and the preset result (false unless set) returned.
    static bool openUrl(const QUrl& url);

    // Shows the file in the desktop's file manager, selected where the file manager offers that: through
    // the org.freedesktop.FileManager1 service when the desktop's message bus has it (running or started on
    // demand), else by handing the file's folder to the desktop (openUrl). done says, once that is
    // known, whether either worked; it is called on the UI thread, never after context is gone. In
    // test mode only a bus named by setTestBus is asked.
    static void
    showFileInFolder(QObject* context, const QString& filePath, std::function<void(bool shown)> done);

    // Converts a "Description|*.ext" filter (more pairs may follow: "A|*.a|B|*.b;*.c") into the form
    // the Qt file dialogs read.
    static QString qtFilter(const QString& filter);

    // Test hooks: each answer is used once.
    static void setTestMode(bool on);
    static void setNextFileNames(const QStringList& names);
    static void setNextFolder(const QString& folder);
    static void setNextSaveFileName(const QString& name);
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // The answers of the next questions, in the order they are asked.
    static void setNextAnswers(const QList<QMessageBox::StandardButton>& answers);
    // The answer of the next choose: the index of a choice, or -1 for Cancel.
    static void setNextChoice(int choice);
    static QList<Message> takeShownMessages();
    static void setNextOpenUrlResult(bool opened);
    static QList<QUrl> takeOpenedUrls();
    // The address of the message bus showFileInFolder asks in test mode; empty for none.
    static void setTestBus(const QString& address);
};

} // namespace app
