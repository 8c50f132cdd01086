#include "OnlineAccountsIdentity.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>

namespace {

const QString Service = QStringLiteral("org.gnome.OnlineAccounts");
const QString ManagerPath = QStringLiteral("/org/gnome/OnlineAccounts");
const QString AccountInterface = QStringLiteral("org.gnome.OnlineAccounts.Account");
const QString MailInterface = QStringLiteral("org.gnome.OnlineAccounts.Mail");

// GetManagedObjects' answer, a{oa{sa{sv}}}, read by hand: no types need registering for it.
bool readManagedObjects(const QDBusArgument& argument, QMap<QString, OnlineAccountsIdentity::AccountObject>* objects)
{
    if (argument.currentType() != QDBusArgument::MapType) {
        return false;
    }
    argument.beginMap();
    while (!argument.atEnd()) {
        argument.beginMapEntry();
        QDBusObjectPath path;
        argument >> path;
        OnlineAccountsIdentity::AccountObject interfaces;
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            QString name;
            QVariantMap properties;
            argument >> name >> properties;
            argument.endMapEntry();
            interfaces.insert(name, properties);
        }
        argument.endMap();
        argument.endMapEntry();
        objects->insert(path.path(), interfaces);
    }
    argument.endMap();
    return true;
}

} // namespace

namespace OnlineAccountsIdentity {

PersonIdentity fromAccounts(const QMap<QString, AccountObject>& accounts)
{
    for (const AccountObject& object : accounts) {
        if (!object.contains(MailInterface) || !object.contains(AccountInterface)) {
            continue;
        }
        const QVariantMap account = object.value(AccountInterface);
        const QVariantMap mail = object.value(MailInterface);
        if (account.value(QStringLiteral("MailDisabled")).toBool()) {
            continue;
        }
        PersonIdentity identity {mail.value(QStringLiteral("Name")).toString().trimmed(),
                                 mail.value(QStringLiteral("EmailAddress")).toString().trimmed(),
                                 {}};
        const QString presentation = account.value(QStringLiteral("PresentationIdentity")).toString().trimmed();
        if (identity.email.isEmpty() && presentation.contains(QLatin1Char('@'))) {
            identity.email = presentation;
        }
        if (identity.isUsable()) {
            return identity;
        }
    }
    return {};
}

PersonIdentity read(int timeoutMilliseconds, QString* problem)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) {
        return {};
    }
    const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(Service);
    if (!registered.isValid() || !registered.value()) {
        return {};
    }
    QDBusMessage call
        = QDBusMessage::createMethodCall(Service, ManagerPath, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                         QStringLiteral("GetManagedObjects"));
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        *problem = QStringLiteral("online accounts did not answer: %1").arg(reply.errorMessage());
        return {};
    }
    QMap<QString, AccountObject> accounts;
    if (!readManagedObjects(reply.arguments().first().value<QDBusArgument>(), &accounts)) {
        *problem = QStringLiteral("online accounts answered with something else than accounts");
        return {};
    }
    return fromAccounts(accounts);
}

} // namespace OnlineAccountsIdentity
