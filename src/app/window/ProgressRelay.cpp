#include "app/window/ProgressRelay.h"

#include "app/dialogs/TWaitForm.h"
#include "editing/QtText.h"

#include <QMetaObject>

namespace app {

ProgressRelay::ProgressRelay(TWaitForm* box)
    : m_box(box)
{}

void ProgressRelay::Report(std::size_t done, std::size_t total, const std::string& path)
{
    const std::lock_guard lock(m_mutex);
    m_done = done;
    m_total = total;
    m_path = path;
    if (m_pending || m_box.isNull()) {
        return;
    }
    m_pending = true;
    QMetaObject::invokeMethod(
        m_box, [self = shared_from_this()] { self->Show(); }, Qt::QueuedConnection);
}

void ProgressRelay::Show()
{
    std::size_t done = 0;
    std::size_t total = 0;
    QString path;
    {
        const std::lock_guard lock(m_mutex);
        m_pending = false;
        done = m_done;
        total = m_total;
        path = editing::ToQString(m_path);
    }
    if (!m_box.isNull()) {
        m_box->setProgress(done, total, path);
    }
}

} // namespace app
