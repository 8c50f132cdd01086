#include "ApplicationInstanceChannel.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QVariant>

#include <unistd.h>

namespace {

// Paths of one request, at most: a request beyond it is dropped.
constexpr qint64 MaximumRequestBytes = 1 << 20;

} // namespace

ApplicationInstanceChannel::ApplicationInstanceChannel(QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->property("answered").toBool()
                    || (!socket->canReadLine() && socket->bytesAvailable() < MaximumRequestBytes)) {
                    return;
                }
                socket->setProperty("answered", true);
                const QByteArray line = socket->readLine(MaximumRequestBytes).trimmed();
                socket->write("ok\n");
                socket->flush();
                socket->disconnectFromServer();
                QStringList paths;
                for (const QJsonValue& value : QJsonDocument::fromJson(line).array()) {
                    if (value.isString() && !value.toString().isEmpty()) {
                        paths.append(value.toString());
                    }
                }
                emit filesReceived(paths);
            });
        }
    });
}

ApplicationInstanceChannel::~ApplicationInstanceChannel() = default;

QString ApplicationInstanceChannel::nameForLibrary(const QString& libraryPath)
{
    const QByteArray key = QByteArray::number(uint(getuid())) + ':' + libraryPath.toUtf8();
    return QStringLiteral("keymoor-")
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
}

bool ApplicationInstanceChannel::deliver(const QString& name, const QStringList& paths, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(QJsonDocument(QJsonArray::fromStringList(paths)).toJson(QJsonDocument::Compact) + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    return socket.readLine().trimmed() == "ok";
}

bool ApplicationInstanceChannel::listen(const QString& name)
{
    if (m_server->listen(name)) {
        return true;
    }
    // Nobody answers on that name (checked by the caller's failed delivery), so the socket file is
    // a leftover.
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

bool ApplicationInstanceChannel::isListening() const
{
    return m_server->isListening();
}
