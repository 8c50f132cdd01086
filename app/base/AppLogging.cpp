#include "AppLogging.h"

#include "Log.h"
#include "ZRLog.h"

#include <QtGlobal>

namespace {

void forwardQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg) {
        return;
    }
    const QString category = context.category ? QString::fromLatin1(context.category) : QString();
    if (category.isEmpty() || category == QLatin1String("default")) {
        Log::write(message);
    } else {
        Log::write(category + QStringLiteral(": ") + message);
    }
    if (type == QtFatalMsg) {
        abort();
    }
}

} // namespace

void installApplicationLogging()
{
    ZRLog::setHandler([](const QString& line) { Log::write(line); });
    qInstallMessageHandler(forwardQtMessage);
}
