// Takes the writer lock of a library folder at a given moment and holds it for a while, so that
// tests can race processes for the lock and kill holders.
//   keymoor_lock_holder FOLDER START_AT_MS HOLD_MS
// Prints "taken PID" or "refused MESSAGE" and exits 0 or 1.
#include "library/LibraryLock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("keymoor_lock_holder"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fputs("usage: keymoor_lock_holder FOLDER START_AT_MS HOLD_MS\n", stderr);
        return 2;
    }
    const qint64 startAt = arguments.at(2).toLongLong();
    const qint64 wait = startAt - QDateTime::currentMSecsSinceEpoch();
    if (wait > 0) {
        QThread::msleep(quint64(wait));
    }
    LibraryLock lock(arguments.at(1));
    QString error;
    if (!lock.tryLock(&error)) {
        std::printf("refused %s\n", error.toUtf8().constData());
        return 1;
    }
    std::printf("taken %lld\n", QCoreApplication::applicationPid());
    std::fflush(stdout);
    QThread::msleep(arguments.at(3).toULongLong());
    return 0;
}
