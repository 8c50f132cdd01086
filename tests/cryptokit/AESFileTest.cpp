#include "ZRAES.h"
#include "ZRAESFile.h"
#include "support/TestData.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray TestKey("Keymoor licence key");
const qint64 Chunk = 1048576;

using FileOperation = bool (*)(const QString&, const QString&, const QByteArray&, QString*);

struct Algorithm
{
    const char* name;
    FileOperation encrypt;
    FileOperation decrypt;
};

const Algorithm Algorithms[] = {
    {"AES-256", ZR_AES256EncryptFile, ZR_AES256DecryptFile},
    {"AES-128", ZR_AES128EncryptFile, ZR_AES128DecryptFile},
};

QByteArray patternBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 index = 0; index < size; ++index) {
        bytes[index] = static_cast<char>(index % 251);
    }
    return bytes;
}

class AESFile : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }

    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    static QByteArray read(const QString& filePath)
    {
        QFile file(filePath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList entries() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }

private:
    QTemporaryDir m_folder;
};

} // namespace

// Made with
//   python3 -c "import sys; sys.stdout.buffer.write(bytes(i % 251 for i in range(1048581)))" > plain
//   (head -c 1048576 plain | openssl enc -aes-256-cbc -K $KEY -iv 00000000000000000000000000000000;
//    tail -c 5 plain | openssl enc -aes-256-cbc -K $KEY -iv 00000000000000000000000000000000) | sha256sum
// with KEY=4b65796d6f6f72206c6963656e6365206b657900000000000000000000000000 (and aes-128-cbc with
// KEY=4b65796d6f6f72206c6963656e636520): every chunk restarts CBC with the zero vector.
TEST_F(AESFile, TwoChunkFileMatchesTheKnownDigest)
{
    const QString plain = write(QStringLiteral("plain"), patternBytes(Chunk + 5));
    const std::pair<FileOperation, const char*> rows[] = {
        {ZR_AES256EncryptFile, "067d01bc7ce8e9f79bf981060b3abd97ab6613e98e744e9bf4dcfd6d4ca955c4"},
        {ZR_AES128EncryptFile, "d4e45db0bb111da9f1cf3e41d90e5c95c322fc2c4581c29f5ae92dd4e4a2ff26"},
    };
    for (const auto& [encrypt, digest] : rows) {
        QString error;
        ASSERT_TRUE(encrypt(plain, path(QStringLiteral("encrypted")), TestKey, &error)) << error.toStdString();
        const QByteArray encrypted = read(path(QStringLiteral("encrypted")));
        EXPECT_EQ(encrypted.size(), Chunk + 16 + 16);
        EXPECT_EQ(QCryptographicHash::hash(encrypted, QCryptographicHash::Sha256).toHex(), QByteArray(digest));
    }
}

// The fixtures were made with
//   IV=00000000000000000000000000000000
//   K256=4b65796d6f6f72206c6963656e6365206b657900000000000000000000000000
//   K128=4b65796d6f6f72206c6963656e636520
//   openssl enc -aes-256-cbc -K $K256 -iv $IV -in licence-note.txt -out licence-note.txt.aes256
//   openssl enc -aes-128-cbc -K $K128 -iv $IV -in licence-note.txt -out licence-note.txt.aes128
TEST_F(AESFile, DecryptsFilesMadeByAnotherTool)
{
    const QString folder = testDataPath("/cryptokit/");
    const QByteArray plain = read(folder + QStringLiteral("licence-note.txt"));
    ASSERT_FALSE(plain.isEmpty());
    EXPECT_TRUE(ZR_AES256DecryptFile(folder + QStringLiteral("licence-note.txt.aes256"), path(QStringLiteral("256")),
                                     TestKey, nullptr));
    EXPECT_EQ(read(path(QStringLiteral("256"))), plain);
    EXPECT_TRUE(ZR_AES128DecryptFile(folder + QStringLiteral("licence-note.txt.aes128"), path(QStringLiteral("128")),
                                     TestKey, nullptr));
    EXPECT_EQ(read(path(QStringLiteral("128"))), plain);
}

TEST_F(AESFile, RoundTripsAroundChunkBoundaries)
{
    const std::pair<qint64, qint64> rows[] = {
        {0, 16},
        {1, 16},
        {16, 32},
        {Chunk - 1, Chunk},
        {Chunk, Chunk + 16 + 16},
        {Chunk + 1, Chunk + 16 + 16},
        {3 * Chunk + 7, 3 * (Chunk + 16) + 16},
    };
    for (const Algorithm& algorithm : Algorithms) {
        for (const auto& [plainSize, encryptedSize] : rows) {
            SCOPED_TRACE(std::string(algorithm.name) + " " + std::to_string(plainSize));
            const QByteArray bytes = patternBytes(plainSize);
            const QString plain = write(QStringLiteral("plain"), bytes);
            QString error;
            ASSERT_TRUE(algorithm.encrypt(plain, path(QStringLiteral("encrypted")), TestKey, &error))
                << error.toStdString();
            EXPECT_EQ(QFileInfo(path(QStringLiteral("encrypted"))).size(), encryptedSize);
            ASSERT_TRUE(algorithm.decrypt(path(QStringLiteral("encrypted")), path(QStringLiteral("decrypted")), TestKey,
                                          &error))
                << error.toStdString();
            EXPECT_TRUE(read(path(QStringLiteral("decrypted"))) == bytes);
        }
    }
}

TEST_F(AESFile, EncryptsAndDecryptsInPlace)
{
    const QByteArray bytes = patternBytes(Chunk + 100);
    const QString file = write(QStringLiteral("note"), bytes);
    ASSERT_TRUE(ZR_AES256EncryptFile(file, file, TestKey, nullptr));
    EXPECT_EQ(QFileInfo(file).size(), Chunk + 16 + 112);
    ASSERT_TRUE(ZR_AES256DecryptFile(file, file, TestKey, nullptr));
    EXPECT_TRUE(read(file) == bytes);
}

TEST_F(AESFile, NewDestinationIsPrivateToItsOwnerAndAnExistingOneKeepsItsMode)
{
    const QString plain = write(QStringLiteral("plain"), "secret");
    const auto ownerOnly
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    ASSERT_TRUE(ZR_AES256EncryptFile(plain, path(QStringLiteral("encrypted")), TestKey, nullptr));
    EXPECT_EQ(QFile::permissions(path(QStringLiteral("encrypted"))), ownerOnly);

    const QString shared = write(QStringLiteral("shared"), "old");
    const auto sharedMode = ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(shared, sharedMode));
    ASSERT_TRUE(ZR_AES256EncryptFile(plain, shared, TestKey, nullptr));
    EXPECT_EQ(QFile::permissions(shared), sharedMode);
}

// Failures answer false with a message and leave the destination as it was: absent when it did not
// exist, unchanged when it did.
TEST_F(AESFile, FailuresReportAnErrorAndLeaveTheDestinationAlone)
{
    const QString plain = write(QStringLiteral("plain"), patternBytes(Chunk + 40));
    ASSERT_TRUE(ZR_AES256EncryptFile(plain, path(QStringLiteral("good.enc")), TestKey, nullptr));
    const QByteArray good = read(path(QStringLiteral("good.enc")));
    write(QStringLiteral("cut-in-last-chunk.enc"), good.left(good.size() - 8));
    write(QStringLiteral("cut-at-chunk-end.enc"), good.left(Chunk + 16));
    write(QStringLiteral("cut-in-first-chunk.enc"), good.left(1000));
    write(QStringLiteral("empty.enc"), QByteArray());
    QByteArray damaged = good;
    damaged[damaged.size() - 1] = static_cast<char>(damaged.at(damaged.size() - 1) ^ 0x5a);
    write(QStringLiteral("damaged.enc"), damaged);
    QDir(path(QString())).mkdir(QStringLiteral("folder"));

    struct Row
    {
        const char* what;
        FileOperation operation;
        QString source;
        QString destination;
        QByteArray key;
    };
    const Row rows[] = {
        {"missing source", ZR_AES256EncryptFile, path(QStringLiteral("missing")), {}, TestKey},
        {"folder as source", ZR_AES128EncryptFile, path(QStringLiteral("folder")), {}, TestKey},
        {"missing destination folder", ZR_AES256EncryptFile, plain, path(QStringLiteral("no/such/file")), TestKey},
        {"folder as destination", ZR_AES256EncryptFile, plain, path(QStringLiteral("folder")), TestKey},
        {"wrong key", ZR_AES256DecryptFile, path(QStringLiteral("good.enc")), {}, QByteArray("wrong key")},
        {"wrong key size", ZR_AES128DecryptFile, path(QStringLiteral("good.enc")), {}, TestKey},
        {"cut in last chunk", ZR_AES256DecryptFile, path(QStringLiteral("cut-in-last-chunk.enc")), {}, TestKey},
        {"cut at chunk end", ZR_AES256DecryptFile, path(QStringLiteral("cut-at-chunk-end.enc")), {}, TestKey},
        {"cut in first chunk", ZR_AES256DecryptFile, path(QStringLiteral("cut-in-first-chunk.enc")), {}, TestKey},
        {"empty encrypted file", ZR_AES256DecryptFile, path(QStringLiteral("empty.enc")), {}, TestKey},
        {"damaged last block", ZR_AES256DecryptFile, path(QStringLiteral("damaged.enc")), {}, TestKey},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const bool destinationExists : {false, true}) {
            const QString destination = row.destination.isEmpty() ? path(QStringLiteral("out")) : row.destination;
            QFile::remove(path(QStringLiteral("out")));
            if (destinationExists && row.destination.isEmpty()) {
                write(QStringLiteral("out"), "keep me");
            }
            const QStringList before = entries();
            QString error;
            EXPECT_FALSE(row.operation(row.source, destination, row.key, &error));
            EXPECT_TRUE(error.contains(row.source) || error.contains(destination)) << error.toStdString();
            EXPECT_EQ(entries(), before);
            if (destinationExists && row.destination.isEmpty()) {
                EXPECT_EQ(read(destination), QByteArray("keep me"));
            }
            EXPECT_FALSE(row.operation(row.source, destination, row.key, nullptr));
        }
    }
}
