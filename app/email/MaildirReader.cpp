#include "MaildirReader.h"

#include "MailStoreFiles.h"

#include <QDir>
#include <QFileInfo>

MaildirReader::MaildirReader(QString path, const MailStoreReader::Options& options)
    : m_path(std::move(path))
    , m_options(options)
{ }

bool MaildirReader::isMaildir(const QString& path)
{
    const QDir folder(path);
    return QFileInfo(folder.filePath(QStringLiteral("cur"))).isDir()
        || QFileInfo(folder.filePath(QStringLiteral("new"))).isDir();
}

bool MaildirReader::read(const MailStoreReader::Visitor& visit, MailStoreReader::Counts& counts) const
{
    if (!readMessagesOnly(visit, counts)) {
        return false;
    }
    // Maildir++ keeps every subfolder flat in the top folder, with dots between the levels.
    const QDir top(m_path);
    const QStringList subfolders
        = top.entryList({QStringLiteral(".?*")}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : subfolders) {
        const QString path = top.filePath(name);
        if (isSkipped(name) || !isMaildir(path)) {
            continue;
        }
        if (!readFolder(path, visit, counts)) {
            return false;
        }
    }
    return true;
}

bool MaildirReader::readMessagesOnly(const MailStoreReader::Visitor& visit, MailStoreReader::Counts& counts) const
{
    return readFolder(m_path, visit, counts);
}

bool MaildirReader::isSkipped(const QString& subfolderName) const
{
    if (m_options.includeTrashAndJunk) {
        return false;
    }
    // ".Trash" and everything under it (".Trash.Old").
    const QString topLevel = subfolderName.mid(1).section(QLatin1Char('.'), 0, 0);
    return MailStoreFiles::isTrashOrJunk(topLevel);
}

bool MaildirReader::readFolder(const QString& folder, const MailStoreReader::Visitor& visit,
                               MailStoreReader::Counts& counts) const
{
    for (const char* part : {"cur", "new"}) {
        const QDir messages(QDir(folder).filePath(QLatin1String(part)));
        // Hidden files are never messages (some programs keep their state there).
        const QStringList names = messages.entryList(QDir::Files, QDir::Name);
        for (const QString& name : names) {
            const QString path = messages.filePath(name);
            std::optional<QByteArray> bytes = MailStoreFiles::readMessageFile(path, m_options.maximumMessageSize);
            if (!bytes) {
                ++counts.unreadable;
                continue;
            }
            MailStoreMessage message;
            message.bytes = std::move(*bytes);
            message.place.path = path;
            if (!MailStoreFiles::deliver(visit, message, counts)) {
                return false;
            }
        }
    }
    return true;
}
