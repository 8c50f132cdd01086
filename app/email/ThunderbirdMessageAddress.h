#pragma once

#include "MailStoreMessage.h"

#include <QString>

#include <optional>

// Where a Thunderbird "mailbox-message://user@server/Folder/Sub#OFFSET" address points in a
// profile: the folder's mbox "<server folder>/Folder.sbd/Sub" and the byte offset of the message.
// The server folder is the one the profile's prefs.js names for the account of that server and
// user ("Local Folders", a POP account's "pop.example-2.com", a folder elsewhere on disk), else
// "<profile>/Mail/<server>".
class ThunderbirdMessageAddress
{
public:
    // Nothing when the address is of another kind or the mbox does not exist.
    static std::optional<MailMessagePlace> place(const QString& address, const QString& profile);

    // The folder holding the mail of the account of `host` (and `user`, when one matches) in the
    // profile; may not exist.
    static QString serverFolder(const QString& profile, const QString& user, const QString& host);
};
