#include "maintenance/FolderCopy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto OwnerOnlyFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

QMutex hookMutex;
FolderCopy::FileHook fileHook;

void setError(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
}

QString systemError(const QString& what, const QString& path)
{
    return QStringLiteral("%1 \"%2\": %3").arg(what, path, QString::fromLocal8Bit(std::strerror(errno)));
}

bool hookAllows(const QString& source)
{
    QMutexLocker locker(&hookMutex);
    return !fileHook || fileHook(source);
}

// Closes a descriptor when the scope ends.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool copyBytes(int from, int to)
{
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0) {
            return true;
        }
        if (copied > 0) {
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            return false;
        }
        break; // this file system pair cannot copy in the kernel: read and write instead
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, size_t(got - done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            done += put;
        }
    }
}

bool makeFolder(const QString& path, QString* error)
{
    if (!QDir().mkpath(path)) {
        setError(error, QStringLiteral("cannot create the folder \"%1\"").arg(path));
        return false;
    }
    QFile::setPermissions(path, OwnerOnlyFolder);
    return true;
}

bool copyFolder(const QString& source, const QString& target, QString* error)
{
    if (!makeFolder(target, error)) {
        return false;
    }
    const QDir sourceDir(source);
    const QDir targetDir(target);
    QDirIterator entries(source, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info = entries.fileInfo();
        const QString copy = targetDir.filePath(sourceDir.relativeFilePath(path));
        if (info.isSymLink()) {
            continue; // the library holds plain files only; links are not followed out of it
        }
        if (info.isDir()) {
            if (!makeFolder(copy, error)) {
                return false;
            }
        } else if (!FolderCopy::copyFile(path, copy, error)) {
            return false;
        }
    }
    return true;
}

} // namespace

void FolderCopy::setFileHookForTesting(FileHook hook)
{
    QMutexLocker locker(&hookMutex);
    fileHook = std::move(hook);
}

bool FolderCopy::copyFile(const QString& source, const QString& target, QString* error)
{
    if (!hookAllows(source)) {
        setError(error, QStringLiteral("cannot read \"%1\": refused by the test hook").arg(source));
        return false;
    }
    const QByteArray sourceName = QFile::encodeName(source);
    Descriptor input(::open(sourceName.constData(), O_RDONLY | O_CLOEXEC));
    if (input.get() < 0) {
        setError(error, systemError(QStringLiteral("cannot read"), source));
        return false;
    }
    struct stat status
    {
    };
    if (::fstat(input.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        setError(error, QStringLiteral("\"%1\" is not a plain file").arg(source));
        return false;
    }
    const QString temporary = target + QStringLiteral(".part-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    Descriptor output(::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (output.get() < 0) {
        setError(error, systemError(QStringLiteral("cannot create"), temporary));
        return false;
    }
    const bool copied = copyBytes(input.get(), output.get());
    const QString failure = copied ? QString() : systemError(QStringLiteral("cannot copy"), source);
    if (!output.close() || !copied) {
        ::unlink(temporaryName.constData());
        setError(error, failure.isEmpty() ? systemError(QStringLiteral("cannot write"), temporary) : failure);
        return false;
    }
    if (::rename(temporaryName.constData(), QFile::encodeName(target).constData()) != 0) {
        setError(error, systemError(QStringLiteral("cannot rename into place"), target));
        ::unlink(temporaryName.constData());
        return false;
    }
    return true;
}

bool FolderCopy::copyItem(const QString& source, const QString& target, QString* error)
{
    const QFileInfo info(source);
    if (!info.exists()) {
        setError(error, QStringLiteral("\"%1\" does not exist").arg(source));
        return false;
    }
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        setError(error, QStringLiteral("\"%1\" exists already").arg(target));
        return false;
    }
    const bool copied = info.isDir() ? copyFolder(source, target, error) : copyFile(source, target, error);
    if (copied) {
        syncFileSystem(target);
    }
    return copied;
}

bool FolderCopy::replaceFolderWithCopy(const QString& source, const QString& target, QString* error)
{
    const QString suffix = QUuid::createUuid().toString(QUuid::Id128).left(12);
    const QString incoming = target + QStringLiteral(".incoming-") + suffix;
    const QString outgoing = target + QStringLiteral(".outgoing-") + suffix;
    if (!copyItem(source, incoming, error)) {
        removeItem(incoming);
        return false;
    }
    const bool hadTarget = QFileInfo::exists(target);
    if (hadTarget && !QDir().rename(target, outgoing)) {
        setError(error, QStringLiteral("cannot move \"%1\" aside").arg(target));
        removeItem(incoming);
        return false;
    }
    if (!QDir().rename(incoming, target)) {
        setError(error, QStringLiteral("cannot move the copy into \"%1\"").arg(target));
        if (hadTarget) {
            QDir().rename(outgoing, target);
        }
        removeItem(incoming);
        return false;
    }
    if (hadTarget) {
        removeItem(outgoing);
    }
    syncFileSystem(target);
    return true;
}

bool FolderCopy::removeItem(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return true;
    }
    const bool removed = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
    if (!removed) {
        setError(error, QStringLiteral("cannot remove \"%1\"").arg(path));
    }
    return removed;
}

void FolderCopy::syncFileSystem(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}
