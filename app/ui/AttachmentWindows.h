#pragma once

#include "persistence/ObjectID.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class AttachmentsWindowController;
class KeymoorAppDelegate;
class QWidget;

// The viewer windows of attached files: one per attached file, made on first use; showing it again
// brings the existing window forward.
class AttachmentWindows : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttachmentWindows)

public:
    AttachmentWindows(KeymoorAppDelegate* delegate, QWidget* parent);
    ~AttachmentWindows() override;

    void show(const Persistence::ObjectID& attachmentID);

private:
    QPointer<KeymoorAppDelegate> m_delegate;
    QWidget* m_parent;
    QHash<Persistence::ObjectID, QPointer<AttachmentsWindowController>> m_windows;
};
