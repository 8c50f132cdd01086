#include "SystemDesktopLauncher.h"

#include "software/DesktopApplicationLaunch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
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

bool SystemDesktopLauncher::launchApplication(const DesktopApplication& application, QString* error)
{
    return DesktopApplicationLaunch::launch(application, {}, error);
}

bool SystemDesktopLauncher::runProgram(const QString& program, const QStringList& arguments, QString* error)
{
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable()) {
        if (error) {
            *error = QStringLiteral("%1 is not an executable file.").arg(program);
        }
        return false;
    }
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments(arguments);
    process.setWorkingDirectory(info.absolutePath());
    if (!process.startDetached()) {
        if (error) {
            *error = QStringLiteral("%1 could not be started: %2").arg(program, process.errorString());
        }
        return false;
    }
    return true;
}
