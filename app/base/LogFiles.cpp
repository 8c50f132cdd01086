#include "LogFiles.h"

#include "FileWriting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QString numbered(const QString& path, int number)
{
    return path + QLatin1Char('.') + QString::number(number);
}

// rename(2) replaces the target atomically; QFile::rename refuses to replace.
bool replaceByRename(const QString& from, const QString& to, QString* error)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        return true;
    }
    if (error) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
    }
    return false;
}

} // namespace

namespace LogFiles {

bool rotateIfLarger(const QString& path, qint64 maximumSize, int keptOlderFiles)
{
    const QFileInfo file(path);
    if (!file.isFile() || file.size() <= maximumSize) {
        return false;
    }
    if (keptOlderFiles <= 0) {
        return QFile::remove(path);
    }
    for (int number = keptOlderFiles - 1; number >= 1; --number) {
        if (QFileInfo::exists(numbered(path, number))) {
            replaceByRename(numbered(path, number), numbered(path, number + 1), nullptr);
        }
    }
    return replaceByRename(path, numbered(path, 1), nullptr);
}

QString adoptOldLog(const QString& oldPath, const QString& newPath)
{
    if (oldPath.isEmpty() || newPath.isEmpty() || !QFileInfo(oldPath).isFile()
        || QFileInfo(oldPath).canonicalFilePath() == QFileInfo(newPath).canonicalFilePath()) {
        return {};
    }
    QString target = newPath;
    if (QFileInfo::exists(target)) {
        target = numbered(newPath, 1);
        if (QFileInfo::exists(target)) {
            return {};
        }
    }
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        return QStringLiteral("cannot create the folder %1").arg(QFileInfo(target).absolutePath());
    }
    // link(2) then unlink: never replaces a file that appeared meanwhile.
    if (::link(QFile::encodeName(oldPath).constData(), QFile::encodeName(target).constData()) == 0) {
        QFile::remove(oldPath);
        return {};
    }
    QString error;
    if (!FileWriting::copyFile(oldPath, target, &error)) {
        return error;
    }
    QFile::remove(oldPath);
    return {};
}

} // namespace LogFiles
