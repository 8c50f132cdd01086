#include "ReminderNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

// A service that is started on demand may take a moment; a missing one answers at once.
constexpr int CallTimeoutMilliseconds = 5000;

} // namespace

ReminderNotifier::ReminderNotifier(QString service, QDBusConnection bus)
    : m_service(std::move(service))
    , m_bus(std::move(bus))
{ }

bool ReminderNotifier::hasSessionBus() const
{
    return m_bus.isConnected();
}

bool ReminderNotifier::notify(const QString& summary, const QString& body, QString* error) const
{
    if (!m_bus.isConnected()) {
        if (error) {
            *error = QStringLiteral("no session bus");
        }
        return false;
    }
    QDBusMessage call
        = QDBusMessage::createMethodCall(m_service, QStringLiteral("/org/freedesktop/Notifications"),
                                         QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.keymoor.Keymoor"));
    call << QStringLiteral("Keymoor") << uint(0) << QStringLiteral("org.keymoor.Keymoor") << summary << body
         << QStringList() << hints << int(-1);
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, CallTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (error) {
            *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        }
        return false;
    }
    return true;
}
