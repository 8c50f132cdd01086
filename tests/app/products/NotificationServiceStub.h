#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A desktop notification service on the test's session bus under a name of its own: records what
// it is asked to show.
class NotificationServiceStub : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        QString appName;
        QString icon;
        QString summary;
        QString body;
    };

    // Registers on the session bus as `service`; false when there is no bus or the name is taken.
    bool registerAs(const QString& service)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()
            || !bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                   QDBusConnection::ExportAllSlots)) {
            return false;
        }
        m_service = service;
        return bus.registerService(service);
    }
    ~NotificationServiceStub() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        if (!m_service.isEmpty()) {
            bus.unregisterService(m_service);
        }
    }

    QList<Shown> shown;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        Q_UNUSED(replacesId);
        Q_UNUSED(actions);
        Q_UNUSED(hints);
        Q_UNUSED(timeout);
        shown.append({appName, icon, summary, body});
        return uint(shown.size());
    }

private:
    QString m_service;
};
