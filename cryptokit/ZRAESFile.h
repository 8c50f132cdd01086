#pragma once

#include "ZRCryptoKitGlobal.h"

#include <QByteArray>
#include <QString>

// AES of whole files, chunk by chunk, so that large files never sit in memory whole.
//
// Encrypted file format: the concatenation of the independently encrypted chunks of the plain file
// (see ZRAES.h for the cipher). Every chunk but the last holds exactly ZRPlainDataChunkSize plain
// bytes, and so ZRPlainDataChunkSize + 16 encrypted bytes; the last holds the remaining 0 to
// ZRPlainDataChunkSize - 1 plain bytes. Each chunk restarts CBC with the zero vector and carries
// its own padding, so a plain file whose size is a multiple of the chunk size (the empty file
// included) ends with a 16-byte chunk that encrypts nothing.
//
// Each operation answers true when the whole destination was written. On failure it answers false,
// puts a description into *error (when error is not null) and leaves the destination as it was:
// the destination is written to a temporary file beside it and renamed over it at the end. The
// source and the destination may be the same file. A new destination is readable by its owner only.

ZRCRYPTOKIT_EXPORT bool ZR_AES256EncryptFile(const QString& sourcePath, const QString& destinationPath,
                                             const QByteArray& key, QString* error = nullptr);
ZRCRYPTOKIT_EXPORT bool ZR_AES256DecryptFile(const QString& sourcePath, const QString& destinationPath,
                                             const QByteArray& key, QString* error = nullptr);
ZRCRYPTOKIT_EXPORT bool ZR_AES128EncryptFile(const QString& sourcePath, const QString& destinationPath,
                                             const QByteArray& key, QString* error = nullptr);
ZRCRYPTOKIT_EXPORT bool ZR_AES128DecryptFile(const QString& sourcePath, const QString& destinationPath,
                                             const QByteArray& key, QString* error = nullptr);
