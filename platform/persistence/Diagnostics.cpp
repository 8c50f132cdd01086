#include "Diagnostics.h"

#include <QDebug>
#include <QMutex>

namespace Persistence {

namespace {

struct HandlerState
{
    QMutex mutex;
    DiagnosticHandler handler;
};

HandlerState& state()
{
    static HandlerState instance;
    return instance;
}

} // namespace

void setDiagnosticHandler(DiagnosticHandler handler)
{
    QMutexLocker locker(&state().mutex);
    state().handler = std::move(handler);
}

void diagnostic(const QString& line)
{
    DiagnosticHandler handler;
    {
        QMutexLocker locker(&state().mutex);
        handler = state().handler;
    }
    if (handler) {
        handler(line);
    } else {
        qWarning().noquote() << line;
    }
}

} // namespace Persistence
