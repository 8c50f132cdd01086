#pragma once

#include "ZRCryptoKitGlobal.h"

#include <QByteArray>
#include <QList>

#include <optional>

// Bytes sealed under a passphrase: AES-256-GCM with a key derived by PBKDF2-HMAC-SHA256 from the
// passphrase (as UTF-8) and a random 16-byte salt, a random 12-byte IV and no additional data. The
// ciphertext ends with the 16-byte authentication tag, the layout browsers' WebCrypto expects.
struct ZRCRYPTOKIT_EXPORT ZRPassphraseBox
{
    static constexpr int DefaultIterations = 600000;
    static constexpr int SaltLength = 16;
    static constexpr int IVLength = 12;
    static constexpr int TagLength = 16;

    int iterations = DefaultIterations;
    QByteArray salt;
    QByteArray iv;
    QByteArray ciphertext; // with the tag at the end

    // Nothing when the passphrase is empty, iterations is below 1 or the cipher fails.
    static std::optional<ZRPassphraseBox> seal(const QByteArray& plaintext, const QByteArray& passphrase,
                                               int iterations = DefaultIterations);
    // Several texts sealed under one key: one salt, so the passphrase is derived once to open them
    // all, and an IV of each box's own, since an IV must never repeat under the same key. Nothing
    // when any of them fails.
    static std::optional<QList<ZRPassphraseBox>>
    sealAll(const QList<QByteArray>& plaintexts, const QByteArray& passphrase, int iterations = DefaultIterations);
    // Nothing on a wrong passphrase or damaged box (the tag does not match).
    std::optional<QByteArray> open(const QByteArray& passphrase) const;
};
