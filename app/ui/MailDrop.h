#pragma once

#include "email/MailStoreMessage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QMimeData;

// The mail in a drop: whole messages (message/rfc822 data, or Thunderbird's "mailbox-message:"
// addresses read from the local folders of the default profile), ".eml" files and mbox files.
// Addresses that lead to no readable message are kept, so the person can be told what to do instead.
// Holds no widgets; the lists and the attachments tab decide what to do with it.
struct MailDrop
{
    QList<QByteArray> messages;
    QStringList emlFiles;
    QStringList mboxFiles;
    QStringList unresolved; // the addresses that could not be read

    bool isEmpty() const
    {
        return messages.isEmpty() && emlFiles.isEmpty() && mboxFiles.isEmpty() && unresolved.isEmpty();
    }

    // Whether the data holds mail at all, looking at names and formats only (quick enough for a
    // drag that moves); a plain file is looked at only when its name ends in ".mbox" or has no suffix.
    static bool holdsMail(const QMimeData* data);

    // Reads the mail of the drop; Thunderbird addresses are resolved in `thunderbirdProfile` (empty:
    // the detected default profile).
    static MailDrop read(const QMimeData* data, const QString& thunderbirdProfile = QString());

    // Whether the file is an mbox: it starts with "From " (whatever its name), or is named "*.mbox".
    static bool isMboxFile(const QString& path);
    static bool isEmlFile(const QString& path);

    // Where a "mailbox-message://user@server/Folder/Sub#OFFSET" address points in a profile: the
    // folder's mbox "<profile>/Mail/<server>/Folder.sbd/Sub" and the byte offset of the message;
    // nothing when the address is of another kind or the mbox does not exist.
    static std::optional<MailMessagePlace> thunderbirdPlace(const QString& address, const QString& profile);
};
