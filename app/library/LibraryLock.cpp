#include "LibraryLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Locks the whole file for writing without waiting; the lock belongs to the open file description,
// so a second open of the same file in this process is refused as well.
bool lockWholeFile(int fd)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Whether `fd` is still the file at `path`: a holder that lets go removes the file, and whoever
// locked the removed file in the meantime must start over on the new one.
bool isFileAtPath(int fd, const QByteArray& path)
{
    struct stat open = {};
    struct stat named = {};
    return ::fstat(fd, &open) == 0 && ::stat(path.constData(), &named) == 0 && open.st_dev == named.st_dev
        && open.st_ino == named.st_ino;
}

} // namespace

LibraryLock::LibraryLock(const QString& libraryFolder)
    : m_folder(QDir::cleanPath(libraryFolder))
    , m_path(lockFilePath(libraryFolder))
{ }

LibraryLock::~LibraryLock()
{
    unlock();
}

QString LibraryLock::lockFilePath(const QString& libraryFolder)
{
    return QDir::cleanPath(libraryFolder) + QStringLiteral(".lock");
}

bool LibraryLock::tryLock(QString* error)
{
    if (isLocked()) {
        return true;
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // A few rounds cover a holder that removes its file between our open and our lock.
    for (int round = 0; round < 8; ++round) {
        switch (attempt(error)) {
        case Attempt::Taken:
            return true;
        case Attempt::Held:
        case Attempt::Failed:
            return false;
        case Attempt::Retry:
            break;
        }
    }
    if (error) {
        *error = QStringLiteral("The library %1 is in use by another process. Quit it and try again.").arg(m_folder);
    }
    return false;
}

LibraryLock::Attempt LibraryLock::attempt(QString* error)
{
    const int fd = openLockFile(error);
    if (fd < 0) {
        return Attempt::Failed;
    }
    if (!lockWholeFile(fd)) {
        const int code = errno;
        ::close(fd);
        if (code != EAGAIN && code != EACCES) {
            if (error) {
                *error = QStringLiteral("The library %1 cannot be locked: %2.").arg(m_folder, systemError(code));
            }
            return Attempt::Failed;
        }
        if (error) {
            const QString holder = holderDescription();
            *error = holder.isEmpty()
                ? QStringLiteral("The library %1 is in use by another process. Quit it and try again.").arg(m_folder)
                : QStringLiteral("The library %1 is in use by %2. Quit it and try again.").arg(m_folder, holder);
        }
        return Attempt::Held;
    }
    if (!isFileAtPath(fd, QFile::encodeName(m_path))) {
        ::close(fd);
        return Attempt::Retry;
    }
    m_fd = fd;
    writeHolder();
    return Attempt::Taken;
}

int LibraryLock::openLockFile(QString* error) const
{
    const QByteArray path = QFile::encodeName(m_path);
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == ELOOP)) {
        // A lock file we cannot open (another owner's, no permission, a link) is nobody's lock:
        // a holder would have it open. Put a fresh one in its place.
        if (::unlink(path.constData()) == 0) {
            fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        }
    }
    if (fd < 0 && error) {
        const int code = errno;
        *error = code == EACCES || code == EPERM
            ? QStringLiteral("The library %1 cannot be locked: no permission to create %2.").arg(m_folder, m_path)
            : QStringLiteral("The library %1 cannot be locked: %2 could not be created (%3).")
                  .arg(m_folder, m_path, systemError(code));
    }
    return fd;
}

void LibraryLock::writeHolder() const
{
    // Process id, program and host, one per line: what a refused process shows.
    const QByteArray text = QByteArray::number(QCoreApplication::applicationPid()) + '\n'
        + QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(m_fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(m_fd, text.constData(), size_t(text.size()), 0);
    }
}

QString LibraryLock::holderDescription() const
{
    // The holder writes its description right after taking the lock; give it a moment when the
    // file is still empty.
    for (int wait = 0; wait < 20; ++wait) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QList<QByteArray> lines = file.read(4096).split('\n');
        bool isNumber = false;
        const qint64 pid = lines.value(0).toLongLong(&isNumber);
        if (isNumber && pid > 0 && lines.size() >= 3) {
            const QString program = QString::fromUtf8(lines.value(1)).trimmed();
            const QString host = QString::fromUtf8(lines.value(2)).trimmed();
            return QStringLiteral("%1 (process %2 on %3)")
                .arg(program.isEmpty() ? QStringLiteral("another program") : program, QString::number(pid),
                     host.isEmpty() ? QStringLiteral("?") : host);
        }
        QThread::msleep(10);
    }
    return {};
}

void LibraryLock::unlock()
{
    if (m_fd < 0) {
        return;
    }
    // Removed while still locked, so nobody locks the old file after we let go (see isFileAtPath).
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}
