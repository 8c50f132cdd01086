#pragma once

#include "ZRCryptoKitGlobal.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

// AES in CBC mode with an all-zero initialisation vector and PKCS#7 padding. The key is copied into
// a zero-filled block of the key size (32 bytes for AES-256, 16 for AES-128): shorter keys are padded
// with zero bytes, longer ones cut. No key derivation is applied. Encrypting n bytes gives
// 16 * (floor(n/16) + 1) bytes.
//
// Each operation answers the new bytes, or nothing when the cipher fails (on decryption a wrong key
// or damaged input usually shows as a padding error). A wrong key can also pass the padding check
// and give garbage: the format carries no authentication.

extern "C" {
// Plain bytes per chunk of the encrypted file format (see ZRAESFile.h): 1 MiB.
ZRCRYPTOKIT_EXPORT extern const uint64_t ZRPlainDataChunkSize;
}

ZRCRYPTOKIT_EXPORT std::optional<QByteArray> ZR_AES256EncryptWithKey(const QByteArray& receiver, const QByteArray& key);
ZRCRYPTOKIT_EXPORT std::optional<QByteArray> ZR_AES256DecryptWithKey(const QByteArray& receiver, const QByteArray& key);
ZRCRYPTOKIT_EXPORT std::optional<QByteArray> ZR_AES128EncryptWithKey(const QByteArray& receiver, const QByteArray& key);
ZRCRYPTOKIT_EXPORT std::optional<QByteArray> ZR_AES128DecryptWithKey(const QByteArray& receiver, const QByteArray& key);
