#include "EmailTestSupport.h"
#include "email/ZREmailParser.h"

#include <QTemporaryDir>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

const QByteArray Headers("From: a@example.com\nTo: b@example.com\nContent-Type: text/plain\n"
                         "Content-Transfer-Encoding: 7bit\n\n");

} // namespace

TEST(EmailArchive, RecognisedByExtensionOrByHeaderNamesInTheFirstBytes)
{
    QTemporaryDir dir;
    EXPECT_TRUE(ZREmailParser::isEmailArchive(writeFile(dir, QStringLiteral("receipt.emlx"), "1234\nnot checked")));
    EXPECT_TRUE(ZREmailParser::isEmailArchive(dir.filePath(QStringLiteral("absent.EML")))); // the name alone decides
    EXPECT_TRUE(ZREmailParser::isEmailArchive(writeFile(dir, QStringLiteral("message.txt"), Headers + "Hello")));
    EXPECT_TRUE(ZREmailParser::isEmailArchive(
        writeFile(dir, QStringLiteral("lower"), Headers.toLower() + QByteArray(20000, 'x'))));
    EXPECT_FALSE(ZREmailParser::isEmailArchive(writeFile(dir, QStringLiteral("notes.txt"), "From: a\nTo: b\n")));
    EXPECT_FALSE(ZREmailParser::isEmailArchive(dir.filePath(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(ZREmailParser::isEmailArchive(writeFile(dir, QStringLiteral("latin1.txt"), Headers + "caf\xE9")));

    // Only the first 12800 bytes count.
    QByteArray late("From: a\nTo: b\nContent-Type: text/plain\n");
    late += QByteArray(ZREmailParser::ArchiveSniffSize, ' ') + "Content-Transfer-Encoding: 7bit\n";
    EXPECT_FALSE(ZREmailParser::isEmailArchive(writeFile(dir, QStringLiteral("late"), late)));
}

TEST(EmailArchive, ACharacterCutAtTheLimitIsLeftOut)
{
    QTemporaryDir dir;
    for (int cut = 1; cut <= 3; ++cut) {
        // A four-byte character whose first `cut` bytes end the sniffed range.
        QByteArray bytes = Headers;
        bytes += QByteArray(ZREmailParser::ArchiveSniffSize - bytes.size() - cut, 'x');
        bytes += QByteArray("\xF0\x9F\x94\x91", 4) + QByteArray(5000, 'y');
        EXPECT_TRUE(ZREmailParser::isEmailArchive(writeFile(dir, QStringLiteral("cut%1").arg(cut), bytes))) << cut;
    }
    // A whole file of exactly the limit is read whole: a broken character at its end is not cut.
    QByteArray exact = Headers + QByteArray(ZREmailParser::ArchiveSniffSize - Headers.size() - 1, 'x') + "\xC3";
    ASSERT_EQ(exact.size(), ZREmailParser::ArchiveSniffSize);
    EXPECT_FALSE(ZREmailParser::isEmailArchive(writeFile(dir, QStringLiteral("exact"), exact)));
}

TEST(EmailArchive, DefaultMailReaderFromTheInstalledProvider)
{
    EXPECT_EQ(ZREmailParser::defaultMailReader(), QStringLiteral("Apple Mail"));
    ZREmailParser::setDefaultMailReaderAppNameProvider(
        [] { return std::optional<QString>(QStringLiteral("Microsoft Outlook.app")); });
    EXPECT_EQ(ZREmailParser::defaultMailReader(), QStringLiteral("Microsoft Outlook"));
    ZREmailParser::setDefaultMailReaderAppNameProvider(
        [] { return std::optional<QString>(QStringLiteral("thunderbird.desktop")); });
    EXPECT_EQ(ZREmailParser::defaultMailReader(), QStringLiteral("Apple Mail"));
    ZREmailParser::setDefaultMailReaderAppNameProvider({});
    EXPECT_FALSE(ZREmailParser::defaultMailReaderAppName());
}
