#include "SystemDesktopLauncher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

bool SystemDesktopLauncher::openUrl(const QUrl& url)
{
    if (!url.isValid()) {
        return false;
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return QDesktopServices::openUrl(url);
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !opener.isEmpty() && QProcess::startDetached(opener, {url.toString(QUrl::FullyEncoded)});
}

bool SystemDesktopLauncher::showItems(const QList<QUrl>& files)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (files.isEmpty() || !bus.isConnected()) {
        return false;
    }
    QStringList uris;
    for (const QUrl& file : files) {
        uris.append(file.toString(QUrl::FullyEncoded));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, FileManagerTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}
