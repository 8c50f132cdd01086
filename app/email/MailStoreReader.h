#pragma once

#include "MailStoreMessage.h"

#include <QDateTime>
#include <QString>

#include <functional>

// Reads the messages of the mail stores people keep on Linux, one message at a time, never the
// whole store at once, and never writing to it: an mbox file, a Maildir folder (cur/ and new/,
// and nested ".Folder" subfolders), a single ".eml" file, a Thunderbird profile folder or its
// "profiles.ini" (every folder's mbox under Mail/ and ImapMail/), an Evolution mail folder. A file
// that starts with "From " is read as an mbox whatever its name.
class MailStoreReader
{
public:
    struct Options
    {
        bool includeTrashAndJunk = false; // Thunderbird's and Maildir's Trash and Junk folders
        qint64 maximumMessageSize = 64 * 1024 * 1024; // larger messages are counted unreadable
    };

    struct Counts
    {
        qint64 messages = 0; // handed to the visitor
        qint64 unreadable = 0; // messages or files that could not be read
        bool stopped = false; // the visitor asked to stop
        QString error; // why the path itself could not be read; empty when it could
    };

    // Answers false to stop reading (cancel).
    using Visitor = std::function<bool(const MailStoreMessage& message)>;

    // (Two constructors: a default argument of a nested type with member initializers does not
    // compile inside its own class.)
    MailStoreReader();
    explicit MailStoreReader(Options options);

    // Visits every message of the store at the path, in store order.
    Counts read(const QString& path, const Visitor& visit) const;

    // The one message at a place (a drop of a Thunderbird message address, a proposal being added);
    // empty bytes when it cannot be read.
    MailStoreMessage messageAt(const MailMessagePlace& place) const;

private:
    Options m_options;
};
