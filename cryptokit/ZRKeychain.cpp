#include "ZRKeychain.h"

#include "ZRCryptoKitLog.h"
#include "ZRSecretSession.h"

#include <chrono>

namespace {

using std::chrono::seconds;

const seconds TimeLimit(ZRKeychain::TimeLimitSeconds);
const seconds AvailabilityTimeLimit(3);

void logLine(const QString& line)
{
    qCWarning(lcZRCryptoKit).noquote() << line;
}

// The fixed log line of a failed step, followed by what the Secret Service said about it.
void logFailure(const QString& line, const ZRSecretSession& session)
{
    logLine(line.arg(session.status()));
    if (!session.detail().isEmpty()) {
        logLine(QStringLiteral("ZRKeychain: %1").arg(session.detail()));
    }
}

bool isStorable(const QString& text)
{
    return !text.contains(QChar(u'\0'));
}

// The identity of an item, or nothing when one of the texts cannot be stored.
std::optional<ZRKeychainIdentity> identityOf(const QString& itemName, const QString& kind, const QString& account)
{
    if (!isStorable(itemName) || !isStorable(kind) || !isStorable(account)) {
        return std::nullopt;
    }
    return ZRKeychainIdentity {itemName.toUtf8(), kind.toUtf8(), account.toUtf8()};
}

SecretItem* firstItem(const ZRGLib::ItemList& items)
{
    return items ? static_cast<SecretItem*>(items->data) : nullptr;
}

SecretItem* lastItem(const ZRGLib::ItemList& items)
{
    GList* last = g_list_last(items.get());
    return last != nullptr ? static_cast<SecretItem*>(last->data) : nullptr;
}

const QString InvalidText = QStringLiteral("a text contains the character U+0000");

std::optional<QString> readPassword(ZRSecretSession& session, SecretItem* item)
{
    QByteArray secret;
    if (item == nullptr) {
        session.fail(ZRKeychain::StatusInvalidArgument, QStringLiteral("no item given"));
    } else if (session.readSecret(item, secret)) {
        return QString::fromUtf8(secret);
    }
    logFailure(QStringLiteral("Error = %1"), session);
    return std::nullopt;
}

} // namespace

bool ZRKeychain::addKeychainItem(const QString& itemName, const QString& kind, const QString& account,
                                 const QString& password)
{
    const QString failureLine = QStringLiteral("Error creating new item: %1");
    ZRSecretSession session(TimeLimit);
    const auto identity = identityOf(itemName, kind, account);
    if (!identity || !isStorable(password)) {
        session.fail(StatusInvalidArgument, InvalidText);
        logFailure(failureLine, session);
        return false;
    }
    ZRGLib::ItemList existing;
    if (!session.search(*identity, false, false, existing)) {
        logFailure(failureLine, session);
        return false;
    }
    if (existing) {
        session.fail(StatusDuplicateItem, QStringLiteral("the item already exists"));
        logFailure(failureLine, session);
        return false;
    }
    if (!session.store(*identity, password.toUtf8())) {
        logFailure(failureLine, session);
        return false;
    }
    return true;
}

bool ZRKeychain::checkForExistanceOfKeychainItem(const QString& itemName, const QString& kind, const QString& account)
{
    const auto identity = identityOf(itemName, kind, account);
    if (!identity) {
        return false;
    }
    ZRSecretSession session(TimeLimit);
    ZRGLib::ItemList items;
    if (!session.search(*identity, true, false, items)) {
        logFailure(QStringLiteral("status %1 from SecKeychainSearchCreateFromAttributes"), session);
        return false;
    }
    return g_list_length(items.get()) != 0;
}

QString ZRKeychain::passwordForKeychainItem(const QString& itemName, const QString& kind, const QString& account)
{
    const auto identity = identityOf(itemName, kind, account);
    if (!identity) {
        return {};
    }
    ZRSecretSession session(TimeLimit);
    ZRGLib::ItemList items;
    if (!session.search(*identity, false, true, items)) {
        logFailure(QStringLiteral("Result %1 from SecKeychainSearchCreateFromAttributes"), session);
        return {};
    }
    if (!items) {
        return {};
    }
    return readPassword(session, firstItem(items)).value_or(QString());
}

std::optional<QString> ZRKeychain::passwordFromSecKeychainItemRef(SecretItem* item)
{
    ZRSecretSession session(TimeLimit);
    return readPassword(session, item);
}

bool ZRKeychain::modifyKeychainItem(const QString& itemName, const QString& kind, const QString& username,
                                    const QString& newPassword)
{
    const QString failureLine = QStringLiteral("Error modifying item: %1");
    ZRSecretSession session(TimeLimit);
    const auto identity = identityOf(itemName, kind, username);
    if (!identity || !isStorable(newPassword)) {
        session.fail(StatusInvalidArgument, InvalidText);
        logFailure(failureLine, session);
        return false;
    }
    ZRGLib::ItemList items;
    if (!session.search(*identity, false, true, items)) {
        logFailure(QStringLiteral("Result %1 from SecKeychainSearchCreateFromAttributes"), session);
        return false;
    }
    if (!items) {
        session.fail(StatusItemNotFound, QStringLiteral("no item matches"));
        logFailure(failureLine, session);
        return false;
    }
    if (!session.replaceSecret(firstItem(items), newPassword.toUtf8())) {
        logFailure(failureLine, session);
        return false;
    }
    return true;
}

bool ZRKeychain::deleteKeychainItem(const QString& itemName, const QString& kind, const QString& account)
{
    const QString failureLine = QStringLiteral("Error deleting item: %1");
    ZRSecretSession session(TimeLimit);
    const auto identity = identityOf(itemName, kind, account);
    if (!identity) {
        session.fail(StatusInvalidArgument, InvalidText);
        logFailure(failureLine, session);
        return false;
    }
    ZRGLib::ItemList items;
    if (!session.search(*identity, true, false, items)) {
        logFailure(QStringLiteral("Result %1 from SecKeychainSearchCreateFromAttributes"), session);
        return false;
    }
    if (!items) {
        return true;
    }
    if (!session.remove(lastItem(items))) {
        logFailure(failureLine, session);
        return false;
    }
    return true;
}

bool ZRKeychain::isAvailable()
{
    return ZRSecretSession::serviceIsRunning(AvailabilityTimeLimit);
}
