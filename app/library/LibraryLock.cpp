#include "LibraryLock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

LibraryLock::LibraryLock(const QString& libraryFolder)
    : m_folder(QDir::cleanPath(libraryFolder))
    , m_lock(std::make_unique<QLockFile>(lockFilePath(libraryFolder)))
{
    // By default a lock older than 30 seconds counts as stale even while its owner runs; a library
    // stays locked for as long as its writer lives, so only a dead owner makes a lock stale.
    m_lock->setStaleLockTime(0);
}

LibraryLock::~LibraryLock() = default;

QString LibraryLock::lockFilePath(const QString& libraryFolder)
{
    return QDir::cleanPath(libraryFolder) + QStringLiteral(".lock");
}

bool LibraryLock::tryLock(QString* error)
{
    if (m_lock->isLocked()) {
        return true;
    }
    QDir().mkpath(QFileInfo(m_lock->fileName()).absolutePath());
    if (m_lock->tryLock(0)) {
        return true;
    }
    if (!error) {
        return false;
    }
    switch (m_lock->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host;
        QString application;
        if (m_lock->getLockInfo(&pid, &host, &application)) {
            const QString holder = application.isEmpty() ? QStringLiteral("another program") : application;
            *error = QStringLiteral("The library %1 is in use by %2 (process %3 on %4). Quit it and try again.")
                         .arg(m_folder, holder, QString::number(pid), host.isEmpty() ? QStringLiteral("?") : host);
        } else {
            *error
                = QStringLiteral("The library %1 is in use by another process. Quit it and try again.").arg(m_folder);
        }
        break;
    }
    case QLockFile::PermissionError:
        *error = QStringLiteral("The library %1 cannot be locked: no permission to create %2.")
                     .arg(m_folder, m_lock->fileName());
        break;
    default:
        *error = QStringLiteral("The library %1 cannot be locked: %2 could not be created.")
                     .arg(m_folder, m_lock->fileName());
        break;
    }
    return false;
}

void LibraryLock::unlock()
{
    if (m_lock->isLocked()) {
        m_lock->unlock();
    }
}

bool LibraryLock::isLocked() const
{
    return m_lock->isLocked();
}
