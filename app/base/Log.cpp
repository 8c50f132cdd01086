#include "Log.h"

#include "LibraryPaths.h"
#include "LogFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

#include <cstdio>

namespace {

// Log files are kept small: when one passes this size it becomes "Keymoor.log.1", and two older
// files are kept.
constexpr qint64 MaximumLogSize = 5 * 1024 * 1024;
constexpr int KeptOlderLogs = 2;

struct LogState
{
    QMutex mutex;
    bool echo = true;
    bool pathResolved = false;
    QString path;
    Log::Sink sink;
    QString pendingNote; // said in the log once the file is known
};

LogState& state()
{
    static LogState instance;
    return instance;
}

QString logFileIn(const QString& folder)
{
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("Keymoor.log"));
}

// The log in the state folder. A log that an earlier version kept in the cache folder is brought
// along the first time; `note` tells what happened to it.
QString defaultLogFilePath(QString* note)
{
    const QString path = logFileIn(LibraryPaths::stateFolderLocation());
    const QString old = logFileIn(QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
    if (path.isEmpty() || old.isEmpty() || !QFileInfo(old).isFile()) {
        return path;
    }
    const QString error = LogFiles::adoptOldLog(old, path);
    *note = error.isEmpty() ? QStringLiteral("Log moved from %1 to %2").arg(old, path)
                            : QStringLiteral("Cannot move the log from %1 to %2: %3").arg(old, path, error);
    return path;
}

void resolvePath(LogState& s)
{
    if (!s.pathResolved) {
        s.path = defaultLogFilePath(&s.pendingNote);
        s.pathResolved = true;
    }
}

QByteArray stamped(const QString& line)
{
    return QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + " Keymoor: " + line.toUtf8() + '\n';
}

void appendToFile(const QString& path, const QByteArray& bytes)
{
    LogFiles::rotateIfLarger(path, MaximumLogSize, KeptOlderLogs);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        file.write(bytes);
    }
}

} // namespace

namespace Log {

void write(const QString& line)
{
    LogState& s = state();
    QMutexLocker locker(&s.mutex);
    if (s.sink) {
        s.sink(line);
    }
    QByteArray bytes = stamped(line);
    if (s.echo) {
        std::fputs(bytes.constData(), stderr);
    }
    resolvePath(s);
    if (!s.pendingNote.isEmpty()) {
        bytes.prepend(stamped(s.pendingNote));
        s.pendingNote.clear();
    }
    if (!s.path.isEmpty()) {
        appendToFile(s.path, bytes);
    }
}

void setEchoToStandardError(bool echo)
{
    QMutexLocker locker(&state().mutex);
    state().echo = echo;
}

void useDefaultLogFile()
{
    QMutexLocker locker(&state().mutex);
    state().path.clear();
    state().pathResolved = false;
}

void setLogFilePath(const QString& path)
{
    QMutexLocker locker(&state().mutex);
    state().path = path;
    state().pathResolved = true;
}

QString logFilePath()
{
    QMutexLocker locker(&state().mutex);
    resolvePath(state());
    return state().path;
}

void setSink(Sink sink)
{
    QMutexLocker locker(&state().mutex);
    state().sink = std::move(sink);
}

} // namespace Log
