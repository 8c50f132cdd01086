#include "ZRAESFile.h"

#include "ZRAES.h"
#include "ZRCryptoKitLog.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace {

using ChunkTransform = std::optional<QByteArray> (*)(const QByteArray&, const QByteArray&);

struct FileJob
{
    const char* operation; // for the log
    const char* verb; // "encrypt" or "decrypt", for messages
    qint64 readSize; // bytes read and transformed at a time
    ChunkTransform transform;
};

const qint64 PlainChunkSize = static_cast<qint64>(ZRPlainDataChunkSize);
const qint64 EncryptedChunkSize = PlainChunkSize + 16;

const FileJob AES256Encryption {"ZR_AES256EncryptFile", "encrypt", PlainChunkSize, ZR_AES256EncryptWithKey};
const FileJob AES256Decryption {"ZR_AES256DecryptFile", "decrypt", EncryptedChunkSize, ZR_AES256DecryptWithKey};
const FileJob AES128Encryption {"ZR_AES128EncryptFile", "encrypt", PlainChunkSize, ZR_AES128EncryptWithKey};
const FileJob AES128Decryption {"ZR_AES128DecryptFile", "decrypt", EncryptedChunkSize, ZR_AES128DecryptWithKey};

bool fail(const FileJob& job, const QString& message, QString* error)
{
    qCWarning(lcZRCryptoKit).noquote() << job.operation << "-" << message;
    if (error != nullptr) {
        *error = message;
    }
    return false;
}

// Reads up to size bytes; fewer only at the end of the file. Nothing on a read error.
std::optional<QByteArray> readChunk(QFile& file, qint64 size)
{
    QByteArray chunk(size, Qt::Uninitialized);
    qint64 filled = 0;
    while (filled < size) {
        const qint64 count = file.read(chunk.data() + filled, size - filled);
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        filled += count;
    }
    chunk.truncate(filled);
    return chunk;
}

bool openDestination(QSaveFile& destination)
{
    const bool isNew = !QFileInfo::exists(destination.fileName());
    if (!destination.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (isNew) {
        destination.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    return true;
}

bool transformFile(const FileJob& job, const QString& sourcePath, const QString& destinationPath, const QByteArray& key,
                   QString* error)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        return fail(job, QStringLiteral("Cannot open “%1” for reading: %2").arg(sourcePath, source.errorString()),
                    error);
    }
    QSaveFile destination(destinationPath);
    if (!openDestination(destination)) {
        return fail(job,
                    QStringLiteral("Cannot open “%1” for writing: %2").arg(destinationPath, destination.errorString()),
                    error);
    }
    for (qint64 chunkNumber = 1;; ++chunkNumber) {
        const std::optional<QByteArray> chunk = readChunk(source, job.readSize);
        if (!chunk) {
            return fail(job, QStringLiteral("Cannot read “%1”: %2").arg(sourcePath, source.errorString()), error);
        }
        const std::optional<QByteArray> transformed = job.transform(*chunk, key);
        if (!transformed) {
            return fail(job,
                        QStringLiteral("Cannot %1 chunk %2 of “%3”: the file is damaged or the key is wrong")
                            .arg(QLatin1String(job.verb))
                            .arg(chunkNumber)
                            .arg(sourcePath),
                        error);
        }
        if (destination.write(*transformed) != transformed->size()) {
            return fail(job, QStringLiteral("Cannot write “%1”: %2").arg(destinationPath, destination.errorString()),
                        error);
        }
        if (chunk->size() < job.readSize) {
            break;
        }
    }
    if (!destination.commit()) {
        return fail(job, QStringLiteral("Cannot write “%1”: %2").arg(destinationPath, destination.errorString()),
                    error);
    }
    return true;
}

} // namespace

bool ZR_AES256EncryptFile(const QString& sourcePath, const QString& destinationPath, const QByteArray& key,
                          QString* error)
{
    return transformFile(AES256Encryption, sourcePath, destinationPath, key, error);
}

bool ZR_AES256DecryptFile(const QString& sourcePath, const QString& destinationPath, const QByteArray& key,
                          QString* error)
{
    return transformFile(AES256Decryption, sourcePath, destinationPath, key, error);
}

bool ZR_AES128EncryptFile(const QString& sourcePath, const QString& destinationPath, const QByteArray& key,
                          QString* error)
{
    return transformFile(AES128Encryption, sourcePath, destinationPath, key, error);
}

bool ZR_AES128DecryptFile(const QString& sourcePath, const QString& destinationPath, const QByteArray& key,
                          QString* error)
{
    return transformFile(AES128Decryption, sourcePath, destinationPath, key, error);
}
