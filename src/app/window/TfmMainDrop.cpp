// Files and folders dropped on the main window.
#include "app/window/TfmMain.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace app {

namespace {

bool HasLocalFiles(const QMimeData* mime)
{
    if (mime == nullptr || !mime->hasUrls()) {
        return false;
    }
    const auto urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

} // namespace

void TfmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_busy && HasLocalFiles(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void TfmMain::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_busy && HasLocalFiles(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void TfmMain::dropEvent(QDropEvent* event)
{
    if (m_busy || !HasLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    std::vector<AddItem> items;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            items.push_back({url.toLocalFile().toStdString(), AddItem::Kind::Dropped});
        }
    }
    event->acceptProposedAction();
    addItems(std::move(items));
}

} // namespace app
