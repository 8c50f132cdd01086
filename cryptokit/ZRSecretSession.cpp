#include "ZRSecretSession.h"

#include "ZRKeychain.h"

#include <cstring>

namespace {

const SecretSchema* keychainSchema()
{
    static const SecretSchema schema = [] {
        SecretSchema built {};
        built.name = "org.keymoor.Keychain.GenericPassword";
        built.flags = SECRET_SCHEMA_NONE;
        built.attributes[0] = {"label", SECRET_SCHEMA_ATTRIBUTE_STRING};
        built.attributes[1] = {"description", SECRET_SCHEMA_ATTRIBUTE_STRING};
        built.attributes[2] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return built;
    }();
    return &schema;
}

ZRGLib::HashTable attributesOf(const ZRKeychainIdentity& identity)
{
    return ZRGLib::HashTable(secret_attributes_build(keychainSchema(), "label", identity.label.constData(),
                                                     "description", identity.description.constData(), "account",
                                                     identity.account.constData(), nullptr));
}

ZRGLib::Value valueOf(const QByteArray& secret)
{
    return ZRGLib::Value(secret_value_new(secret.constData(), secret.size(), "text/plain"));
}

} // namespace

ZRSecretSession::ZRSecretSession(std::chrono::milliseconds limit)
    : m_deadline(limit)
{ }

void ZRSecretSession::fail(int status, const QString& detail)
{
    m_status = status;
    m_detail = detail;
}

bool ZRSecretSession::failWith(ZRGLib::Error& error)
{
    if (m_deadline.expired()) {
        fail(ZRKeychain::StatusTimedOut, QStringLiteral("the Secret Service did not answer in time"));
    } else if (error) {
        fail(error->code != 0 ? error->code : ZRKeychain::StatusFailed, QString::fromUtf8(error->message));
    } else {
        fail(ZRKeychain::StatusNoSecret, QStringLiteral("the Secret Service gave no answer"));
    }
    return false;
}

bool ZRSecretSession::connect()
{
    if (m_service) {
        return true;
    }
    ZRGLib::Error error;
    m_service.reset(
        secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, m_deadline.cancellable(), ZRGLib::ErrorSlot(error)));
    if (!m_service) {
        failWith(error);
        if (m_status != ZRKeychain::StatusTimedOut) {
            m_status = ZRKeychain::StatusNoService;
        }
        return false;
    }
    return true;
}

bool ZRSecretSession::search(const ZRKeychainIdentity& identity, bool all, bool unlock, ZRGLib::ItemList& items)
{
    if (!connect()) {
        return false;
    }
    const ZRGLib::HashTable attributes = attributesOf(identity);
    const int flags = (all ? SECRET_SEARCH_ALL : 0) | (unlock ? SECRET_SEARCH_UNLOCK : 0);
    ZRGLib::Error error;
    items.reset(secret_service_search_sync(m_service.get(), keychainSchema(), attributes.get(),
                                           static_cast<SecretSearchFlags>(flags), m_deadline.cancellable(),
                                           ZRGLib::ErrorSlot(error)));
    return error ? failWith(error) : true;
}

bool ZRSecretSession::store(const ZRKeychainIdentity& identity, const QByteArray& secret)
{
    if (!connect()) {
        return false;
    }
    const ZRGLib::HashTable attributes = attributesOf(identity);
    const ZRGLib::Value value = valueOf(secret);
    ZRGLib::Error error;
    const bool stored = secret_service_store_sync(m_service.get(), keychainSchema(), attributes.get(),
                                                  SECRET_COLLECTION_DEFAULT, identity.label.constData(), value.get(),
                                                  m_deadline.cancellable(), ZRGLib::ErrorSlot(error));
    return stored ? true : failWith(error);
}

bool ZRSecretSession::readSecret(SecretItem* item, QByteArray& secret)
{
    ZRGLib::Value value(secret_item_get_secret(item));
    if (!value) {
        ZRGLib::Error error;
        if (!secret_item_load_secret_sync(item, m_deadline.cancellable(), ZRGLib::ErrorSlot(error))) {
            return failWith(error);
        }
        value.reset(secret_item_get_secret(item));
    }
    if (!value) {
        fail(ZRKeychain::StatusNoSecret, QStringLiteral("the item's secret cannot be read"));
        return false;
    }
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    if (bytes == nullptr || length == 0) {
        secret = QByteArray("");
        return true;
    }
    // Data written by C programs may carry a terminating zero byte; the text ends there.
    const void* zero = std::memchr(bytes, 0, length);
    const gsize used = zero != nullptr ? static_cast<gsize>(static_cast<const gchar*>(zero) - bytes) : length;
    secret = QByteArray(bytes, static_cast<qsizetype>(used));
    return true;
}

bool ZRSecretSession::replaceSecret(SecretItem* item, const QByteArray& secret)
{
    const ZRGLib::Value value = valueOf(secret);
    ZRGLib::Error error;
    if (!secret_item_set_secret_sync(item, value.get(), m_deadline.cancellable(), ZRGLib::ErrorSlot(error))) {
        return failWith(error);
    }
    return true;
}

bool ZRSecretSession::remove(SecretItem* item)
{
    ZRGLib::Error error;
    if (!secret_item_delete_sync(item, m_deadline.cancellable(), ZRGLib::ErrorSlot(error))) {
        return failWith(error);
    }
    return true;
}

bool ZRSecretSession::serviceIsRunning(std::chrono::milliseconds limit)
{
    const ZRCallDeadline deadline(limit);
    ZRGLib::Error error;
    const ZRGLib::Object<GDBusConnection> bus(
        g_bus_get_sync(G_BUS_TYPE_SESSION, deadline.cancellable(), ZRGLib::ErrorSlot(error)));
    if (!bus) {
        return false;
    }
    GVariant* reply = g_dbus_connection_call_sync(
        bus.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        g_variant_new("(s)", "org.freedesktop.secrets"), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
        static_cast<int>(limit.count()), deadline.cancellable(), ZRGLib::ErrorSlot(error));
    if (reply == nullptr) {
        return false;
    }
    gboolean owned = FALSE;
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
    return owned != FALSE;
}
