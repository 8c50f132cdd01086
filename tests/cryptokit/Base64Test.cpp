#include "ZRBase64.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Vector
{
    const char* plain;
    const char* encoded;
};

// RFC 4648, section 10.
const Vector Rfc4648Vectors[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
};

QByteArray patternBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype index = 0; index < size; ++index) {
        bytes[index] = static_cast<char>((index * 37 + 11) % 256);
    }
    return bytes;
}

} // namespace

TEST(Base64, EncodesAndDecodesTheRfcVectorsWithAndWithoutLineFeeds)
{
    for (const Vector& vector : Rfc4648Vectors) {
        SCOPED_TRACE(vector.plain);
        const QString flat = QString::fromLatin1(vector.encoded);
        EXPECT_EQ(ZR_encodeBase64WithNewlines(QByteArray(vector.plain), false), flat);
        EXPECT_EQ(ZR_encodeBase64(QByteArray(vector.plain)), flat.isEmpty() ? flat : flat + QLatin1Char('\n'));
        for (const QString& text : {flat, flat + QLatin1Char('\n'), flat + QStringLiteral("\r\n")}) {
            EXPECT_EQ(ZR_decodeBase64(text), QByteArray(vector.plain));
            EXPECT_EQ(ZR_decodeBase64WithNewlines(text, false), QByteArray(vector.plain));
        }
    }
}

TEST(Base64, LinesHoldSixtyFourCharactersAndEachEndsInALineFeed)
{
    struct Row
    {
        qsizetype bytes;
        qsizetype lines;
    };
    const Row rows[] = {{1, 1}, {47, 1}, {48, 1}, {49, 2}, {96, 2}, {97, 3}, {1000, 21}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        const qsizetype characters = (row.bytes + 2) / 3 * 4;
        const QString text = ZR_encodeBase64(patternBytes(row.bytes));
        ASSERT_TRUE(text.endsWith(QLatin1Char('\n')));
        const QStringList lines = text.chopped(1).split(QLatin1Char('\n'));
        EXPECT_EQ(lines.size(), row.lines);
        for (qsizetype index = 0; index + 1 < lines.size(); ++index) {
            EXPECT_EQ(lines[index].size(), 64);
        }
        EXPECT_EQ(lines.last().size(), characters - 64 * (row.lines - 1));

        const QString flat = ZR_encodeBase64WithNewlines(patternBytes(row.bytes), false);
        EXPECT_EQ(flat.size(), characters);
        EXPECT_FALSE(flat.contains(QLatin1Char('\n')));
        EXPECT_EQ(QString(text).remove(QLatin1Char('\n')), flat);
    }
}

// The filter decodes single long lines badly in its line mode; every layout of the same text must
// still give all the bytes back.
TEST(Base64, LongTextsDecodeWhateverTheirLineLayout)
{
    for (qsizetype size : {qsizetype(49), qsizetype(767), qsizetype(768), qsizetype(1000), qsizetype(100000)}) {
        SCOPED_TRACE(size);
        const QByteArray bytes = patternBytes(size);
        const QString lines = ZR_encodeBase64(bytes);
        const QString flat = ZR_encodeBase64WithNewlines(bytes, false);
        const QString layouts[] = {
            lines,
            flat,
            flat + QLatin1Char('\n'),
            QString(lines).replace(QLatin1Char('\n'), QStringLiteral("\r\n")),
            QString::fromLatin1(bytes.toBase64(QByteArray::Base64Encoding)).insert(76, QLatin1Char('\n')),
            QStringLiteral("  \t") + flat + QStringLiteral(" \n\n"),
        };
        for (const QString& text : layouts) {
            EXPECT_EQ(ZR_decodeBase64(text), bytes);
            EXPECT_EQ(ZR_decodeBase64WithNewlines(text, false), bytes);
        }
    }
}

TEST(Base64, EmptyTextDecodesToEmptyBytesThatAreNotNull)
{
    for (const QString& text : {QString(), QString(QLatin1String("")), QStringLiteral("\n \n")}) {
        const QByteArray decoded = ZR_decodeBase64(text);
        EXPECT_TRUE(decoded.isEmpty());
        EXPECT_FALSE(decoded.isNull());
    }
}

TEST(Base64, InvalidInputYieldsAtMostTheBytesBeforeIt)
{
    const QByteArray plain("foobar");
    const QString texts[] = {
        QStringLiteral("Zm9vYmFy!"), QStringLiteral("Zm9v!mFy"), QStringLiteral("Zm9vYmF"),
        QStringLiteral("Zg"),        QStringLiteral("Z"),        QStringLiteral("Zm9vYm\u00e9Fy"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        const QByteArray decoded = ZR_decodeBase64(text);
        EXPECT_TRUE(plain.startsWith(decoded)) << decoded.toHex().toStdString();
        EXPECT_FALSE(decoded.isNull());
    }
    EXPECT_EQ(ZR_decodeBase64(QStringLiteral("Zm9vYmFy!")), plain);
}
