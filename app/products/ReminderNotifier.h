#pragma once

#include <QDBusConnection>
#include <QString>

// Shows desktop notifications through the session bus's notification service. Without a session
// bus, or when no service answers, notify() answers false and the caller says it another way.
class ReminderNotifier
{
public:
    static constexpr const char* DefaultService = "org.freedesktop.Notifications";

    // `service` is the bus name to call on `bus` (tests name a stub of their own).
    explicit ReminderNotifier(QString service = QString::fromLatin1(DefaultService),
                              QDBusConnection bus = QDBusConnection::sessionBus());

    // Whether a session bus is there at all.
    bool hasSessionBus() const;
    // Shows one notification from "Keymoor"; false when it could not be delivered.
    bool notify(const QString& summary, const QString& body, QString* error = nullptr) const;

private:
    QString m_service;
    QDBusConnection m_bus;
};
