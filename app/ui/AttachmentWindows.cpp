#include "AttachmentWindows.h"

#include "AttachmentsWindowController.h"
#include "core/KeymoorAppDelegate.h"

AttachmentWindows::AttachmentWindows(KeymoorAppDelegate* delegate, QWidget* parent)
    : QObject(parent)
    , m_delegate(delegate)
    , m_parent(parent)
{ }

AttachmentWindows::~AttachmentWindows() = default;

void AttachmentWindows::show(const Persistence::ObjectID& attachmentID)
{
    QPointer<AttachmentsWindowController>& window = m_windows[attachmentID];
    if (window) {
        window->show();
        window->raise();
        window->activateWindow();
        return;
    }
    if (!m_delegate) {
        m_windows.remove(attachmentID);
        return;
    }
    window = new AttachmentsWindowController(m_delegate, m_parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->showWindowForObjectID(attachmentID)) {
        delete window;
        m_windows.remove(attachmentID);
    }
}
