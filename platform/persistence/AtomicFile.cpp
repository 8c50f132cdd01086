#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Persistence::AtomicFile {

namespace {

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool write(const QString& path, const std::function<bool(QIODevice& device, QString* error)>& writer, QString* error)
{
    const QFileInfo target(path);
    // QTemporaryFile creates its file with owner-only permissions.
    QTemporaryFile file(target.absolutePath() + u'/' + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!file.open()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    if (!writer(file, error)) {
        return false;
    }
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        if (error) {
            *error = QStringLiteral("cannot write \"%1\": %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        }
        return false;
    }
    const QString temporary = file.fileName();
    file.close();
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target.absoluteFilePath()).constData())
        != 0) {
        if (error) {
            *error
                = QStringLiteral("cannot replace \"%1\": %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        }
        return false; // QTemporaryFile removes the temporary file
    }
    file.setAutoRemove(false);
    syncFolder(target.absolutePath());
    return true;
}

} // namespace Persistence::AtomicFile
