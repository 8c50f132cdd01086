#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Where a message of a mail store lives: its file, and for a message inside an mbox its number
// (from 0) and the byte offset of its "From " line.
struct MailMessagePlace
{
    QString path;
    qint64 index = -1; // mbox only
    qint64 offset = -1; // mbox only

    bool isInMbox() const { return offset >= 0; }
};

// One message as a mail store holds it: the raw bytes of the message (for an mbox, without its
// "From " separator line and with ">From " unquoted), and its place.
struct MailStoreMessage
{
    QByteArray bytes;
    MailMessagePlace place;
};
