#pragma once

#include "ZRCallDeadline.h"
#include "ZRGLibHandles.h"

#include <QByteArray>
#include <QString>

#include <chrono>

// The three attribute texts that identify a keychain item, as UTF-8.
struct ZRKeychainIdentity
{
    QByteArray label;
    QByteArray description;
    QByteArray account;
};

// One conversation with the Secret Service under one time limit (internal to the library). Each
// step answers whether it succeeded; after a failure, status() and detail() describe it (status:
// a ZRKeychain::Status or the client library's error code).
class ZRSecretSession
{
public:
    explicit ZRSecretSession(std::chrono::milliseconds limit);
    ZRSecretSession(const ZRSecretSession&) = delete;
    ZRSecretSession& operator=(const ZRSecretSession&) = delete;

    // All items matching the identity (only the first one unless all is set); none is no failure.
    bool search(const ZRKeychainIdentity& identity, bool all, bool unlock, ZRGLib::ItemList& items);
    bool store(const ZRKeychainIdentity& identity, const QByteArray& secret);
    bool readSecret(SecretItem* item, QByteArray& secret);
    bool replaceSecret(SecretItem* item, const QByteArray& secret);
    bool remove(SecretItem* item);

    int status() const { return m_status; }
    const QString& detail() const { return m_detail; }
    // Records a failure found by the caller.
    void fail(int status, const QString& detail);

    // Whether some process owns the Secret Service name on the session bus.
    static bool serviceIsRunning(std::chrono::milliseconds limit);

private:
    bool connect();
    bool failWith(ZRGLib::Error& error);

    ZRCallDeadline m_deadline;
    ZRGLib::Object<SecretService> m_service;
    int m_status = 0;
    QString m_detail;
};
