#include "ZRLog.h"

#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

namespace {

struct LogState
{
    QMutex mutex;
    ZRLog::Handler handler;
};

LogState& state()
{
    static LogState instance;
    return instance;
}

} // namespace

namespace ZRLog {

void write(const QString& line)
{
    LogState& s = state();
    Handler handler;
    {
        QMutexLocker locker(&s.mutex);
        handler = s.handler;
    }
    if (handler) {
        handler(line);
        return;
    }
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void setHandler(Handler handler)
{
    LogState& s = state();
    QMutexLocker locker(&s.mutex);
    s.handler = std::move(handler);
}

} // namespace ZRLog
