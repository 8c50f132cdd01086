#include "email/MailMessageDecoding.h"

#include <gtest/gtest.h>

TEST(MailMessageDecoding, ByteOrderMarkThenUTF8ThenTheNamedCharsetThenLatin1)
{
    const QString message = QStringLiteral("Subject: Caf\u00E9\n\nSerial: \u20AC-1\n");

    QByteArray utf16("\xFF\xFE", 2);
    for (const QChar character : message) {
        utf16.append(char(character.unicode() & 0xFF)).append(char(character.unicode() >> 8));
    }
    EXPECT_EQ(MailMessageDecoding::decode(utf16).right(message.size()), message);

    EXPECT_EQ(MailMessageDecoding::decode(message.toUtf8()), message);

    // Not UTF-8: the Content-Type's charset decides (0x80 is the euro sign in Windows-1252).
    const QByteArray windows = "Content-Type: text/plain;\n charset=windows-1252\n\nPrice: \x80 5, caf\xE9\n";
    EXPECT_EQ(MailMessageDecoding::decode(windows),
              QStringLiteral("Content-Type: text/plain;\n charset=windows-1252\n\nPrice: \u20AC 5, caf\u00E9\n"));

    // No charset, or one that cannot decode the bytes: ISO 8859-1 takes them all.
    const QByteArray bare = "Subject: caf\xE9\n\nx\n";
    EXPECT_EQ(MailMessageDecoding::decode(bare), QString::fromLatin1(bare));
    const QByteArray wrongCharset = "Content-Type: text/plain; charset=utf-8\n\ncaf\xE9\n";
    EXPECT_EQ(MailMessageDecoding::decode(wrongCharset), QString::fromLatin1(wrongCharset));
}
