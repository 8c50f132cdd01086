#include "Log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

#include <cstdio>

namespace {

// Log files are kept small: when one passes this size it is restarted.
constexpr qint64 MaximumLogSize = 4 * 1024 * 1024;

struct LogState
{
    QMutex mutex;
    bool echo = true;
    bool pathResolved = false;
    QString path;
    Log::Sink sink;
};

LogState& state()
{
    static LogState instance;
    return instance;
}

QString defaultLogFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty()) {
        return {};
    }
    return QDir(folder).filePath(QStringLiteral("Keymoor.log"));
}

void appendToFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.exists() && file.size() > MaximumLogSize) {
        file.remove();
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
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
    const QByteArray stamped
        = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + " Keymoor: " + line.toUtf8() + '\n';
    if (s.echo) {
        std::fputs(stamped.constData(), stderr);
    }
    if (!s.pathResolved) {
        s.path = defaultLogFilePath();
        s.pathResolved = true;
    }
    if (!s.path.isEmpty()) {
        appendToFile(s.path, stamped);
    }
}

void setEchoToStandardError(bool echo)
{
    QMutexLocker locker(&state().mutex);
    state().echo = echo;
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
    if (!state().pathResolved) {
        state().path = defaultLogFilePath();
        state().pathResolved = true;
    }
    return state().path;
}

void setSink(Sink sink)
{
    QMutexLocker locker(&state().mutex);
    state().sink = std::move(sink);
}

} // namespace Log
