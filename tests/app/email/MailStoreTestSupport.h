#pragma once

#include "EmailTestSupport.h"
#include "email/MailStoreReader.h"

#include <QDir>
#include <QFile>

#include <vector>

struct ReadResult
{
    MailStoreReader::Counts counts;
    std::vector<MailStoreMessage> messages;

    QList<QByteArray> bytes() const
    {
        QList<QByteArray> list;
        for (const MailStoreMessage& message : messages) {
            list.append(message.bytes);
        }
        return list;
    }
};

inline ReadResult readStore(const QString& path, MailStoreReader::Options options = {})
{
    ReadResult result;
    result.counts = MailStoreReader(options).read(path, [&](const MailStoreMessage& message) {
        result.messages.push_back(message);
        return true;
    });
    return result;
}

inline QString storePath(const QString& relative)
{
    return emailDataPath(QStringLiteral("stores/") + relative);
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// The fixture messages as the Maildir holds them, in store order: the reference every other store
// of the same messages is compared with.
inline QList<QByteArray> fixtureMessages()
{
    return readStore(storePath(QStringLiteral("maildir"))).bytes();
}
