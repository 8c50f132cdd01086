#pragma once

#include "ZRCryptoKitGlobal.h"

#include <QString>

#include <optional>

typedef struct _SecretItem SecretItem;

// Generic passwords in the user's secret store (the desktop's Secret Service). An item is
// identified by three texts: its name (stored as the attribute "label"), its kind ("description")
// and its account or user name ("account"); its data is the UTF-8 bytes of the password. Items are
// created in the default collection.
//
// Every call is synchronous and bounded in time: a Secret Service that does not answer (or an unlock
// prompt left open) makes the call fail after at most ZRKeychain::TimeLimitSeconds. Failures are
// logged with a status code (category "keymoor.cryptokit"): positive codes come from the Secret
// Service client, negative ones are listed in Status.
//
// Texts containing the character U+0000 cannot be stored or matched; calls given one fail and
// change nothing.
class ZRCRYPTOKIT_EXPORT ZRKeychain
{
public:
    ZRKeychain() = delete;

    static constexpr int TimeLimitSeconds = 30;

    enum Status {
        StatusInvalidArgument = -1, // a text contains U+0000, or no item was given
        StatusItemNotFound = -2,
        StatusDuplicateItem = -3, // an item with the same name, kind and account exists
        StatusNoSecret = -4, // the item's secret cannot be read (its collection is locked)
        StatusTimedOut = -5,
        StatusNoService = -6, // no Secret Service can be reached
        StatusFailed = -7, // the Secret Service failed without a more precise code
    };

    // True when the item was created. An item with the same three texts must not exist yet (change
    // its password with modifyKeychainItem instead).
    static bool addKeychainItem(const QString& itemName, const QString& kind, const QString& account,
                                const QString& password);

    // True when at least one item matches all three texts.
    static bool checkForExistanceOfKeychainItem(const QString& itemName, const QString& kind, const QString& account);

    // The password of the first matching item; the empty text when none matches or it cannot be read.
    static QString passwordForKeychainItem(const QString& itemName, const QString& kind, const QString& account);

    // The password of a given item: its data up to the first zero byte, read as UTF-8. Nothing on
    // failure.
    static std::optional<QString> passwordFromSecKeychainItemRef(SecretItem* item);

    // True when the first matching item's password was replaced by newPassword.
    static bool modifyKeychainItem(const QString& itemName, const QString& kind, const QString& username,
                                   const QString& newPassword);

    // Deletes the last matching item. True when it was deleted or when no item matched; false when
    // the search or the deletion failed. Other matching items stay.
    static bool deleteKeychainItem(const QString& itemName, const QString& kind, const QString& account);

    // Whether a Secret Service is running on the session bus (answers within a few seconds; starts
    // nothing).
    static bool isAvailable();
};
