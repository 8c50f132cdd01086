#include "MailStoreTestSupport.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QByteArray message(const char* subject, const QByteArray& body = "Body\n")
{
    return QByteArray("From: shop@example.com\nSubject: ") + subject + "\n\n" + body;
}

ReadResult readBytes(const QByteArray& mbox, MailStoreReader::Options options = {})
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("box"));
    writeFile(path, mbox);
    return readStore(path, options);
}

} // namespace

TEST(MboxReader, FixtureGivesTheMaildirMessagesWithTheirPlaces)
{
    const QString path = storePath(QStringLiteral("purchases.mbox"));
    const ReadResult result = readStore(path);
    EXPECT_EQ(result.counts.messages, 6);
    EXPECT_EQ(result.counts.unreadable, 0);
    EXPECT_TRUE(result.counts.error.isEmpty());
    // Separator lines and the blank line before them are gone, ">From " lines are unquoted.
    EXPECT_EQ(result.bytes(), fixtureMessages());
    EXPECT_TRUE(result.messages[0].bytes.contains("\nFrom the team at Pixel Forge"));
    EXPECT_TRUE(result.messages[3].bytes.contains("\n>From the archive"));

    const QByteArray raw = readEmailData(QStringLiteral("stores/purchases.mbox"));
    for (qsizetype i = 0; i < qsizetype(result.messages.size()); ++i) {
        const MailMessagePlace& place = result.messages[i].place;
        EXPECT_EQ(place.path, path);
        EXPECT_EQ(place.index, i);
        EXPECT_TRUE(raw.sliced(place.offset).startsWith("From "));
        EXPECT_TRUE(place.offset == 0 || raw.sliced(place.offset - 2, 2) == "\n\n");
        EXPECT_EQ(MailStoreReader().messageAt(place).bytes, result.messages[i].bytes);
    }
}

TEST(MboxReader, CrLfFileSplitsLikeTheLfOne)
{
    const ReadResult result = readStore(storePath(QStringLiteral("purchases-crlf.mbox")));
    QList<QByteArray> expected = fixtureMessages();
    for (QByteArray& bytes : expected) {
        bytes.replace("\n", "\r\n");
    }
    EXPECT_EQ(result.bytes(), expected);
}

TEST(MboxReader, OnlyFromLinesAfterAnEmptyLineSplit)
{
    // Inside a body with no empty line before it, "From " is text (a base64 block or a quote).
    const QByteArray body = "SGVsbG8gd29ybGQK\nFrom QUJDREVGRw==\nSGVsbG8K\n";
    const ReadResult result = readBytes("From a\n" + message("one", body) + "\nFrom b\n" + message("two"));
    ASSERT_EQ(result.messages.size(), 2u);
    EXPECT_EQ(result.messages[0].bytes, message("one", body));
    EXPECT_EQ(result.messages[1].bytes, message("two"));
}

TEST(MboxReader, QuotingIsUndoneOnlyAtTheStartOfALine)
{
    const QByteArray quoted = ">From one\n>>From two\n>>>From three\n>From\n> From four\nx >From five\n";
    const QByteArray plain = "From one\n>From two\n>>From three\n>From\n> From four\nx >From five\n";
    EXPECT_EQ(readBytes("From a\n" + message("q", quoted)).bytes(), QList<QByteArray> {message("q", plain)});

    // A line longer than the read buffer continues in later pieces; none of them is a line start.
    const QByteArray longLine = QByteArray(256 * 1024, 'x') + ">From inside\n";
    EXPECT_EQ(readBytes("From a\n" + message("long", longLine)).bytes(), QList<QByteArray> {message("long", longLine)});
}

TEST(MboxReader, DamagedMessagesAreCountedAndTheRestRead)
{
    // A message without a header block, an empty one, binary junk after a message, a truncated end.
    const QByteArray junk("\x00\x01\xFF\xFE junk\n", 10);
    const ReadResult result = readBytes("From a\nno header here\n\nFrom b\n\nFrom c\n" + message("ok") + junk
                                        + "\nFrom d\nFrom: x@example.com\nSubject: cut");
    EXPECT_EQ(result.counts.unreadable, 2);
    ASSERT_EQ(result.messages.size(), 2u);
    EXPECT_EQ(result.messages[0].bytes, message("ok") + junk);
    EXPECT_EQ(result.messages[0].place.index, 2);
    EXPECT_EQ(result.messages[1].bytes, "From: x@example.com\nSubject: cut");
}

TEST(MboxReader, OversizedMessagesAndHugeLinesAreSkipped)
{
    MailStoreReader::Options options;
    options.maximumMessageSize = 1024 * 1024;
    const QByteArray hugeLine = QByteArray(3 * 1024 * 1024, 'A') + "\n";
    const QByteArray hugeSeparator = "From " + QByteArray(700 * 1024, 'f') + "\n";
    const QByteArray mbox = "From a\n" + message("huge", hugeLine) + "\n" + hugeSeparator + message("after")
        + "\nFrom c\n" + message("last");
    const ReadResult result = readBytes(mbox, options);
    EXPECT_EQ(result.counts.unreadable, 1);
    EXPECT_EQ(result.bytes(), (QList<QByteArray> {message("after"), message("last")}));

    // Without the limit the same line comes out whole.
    EXPECT_EQ(readBytes(mbox).messages.at(0).bytes, message("huge", hugeLine));
}

TEST(MboxReader, StopsWhenTheVisitorSaysSo)
{
    int seen = 0;
    const MailStoreReader::Counts counts = MailStoreReader().read(storePath(QStringLiteral("purchases.mbox")),
                                                                  [&](const MailStoreMessage&) { return ++seen < 2; });
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(counts.messages, 2);
    EXPECT_TRUE(counts.stopped);
}

TEST(MboxReader, MessageAtRejectsPlacesThatAreNoMessage)
{
    const QString path = storePath(QStringLiteral("purchases.mbox"));
    const qint64 second = readStore(path).messages.at(1).place.offset;
    for (const qint64 offset : {second + 1, second - 1, qint64(1) << 40}) {
        EXPECT_TRUE(MailStoreReader().messageAt({path, 1, offset}).bytes.isEmpty()) << offset;
    }
    EXPECT_TRUE(MailStoreReader().messageAt({storePath(QStringLiteral("missing")), 0, 0}).bytes.isEmpty());
}

TEST(MboxReader, ReadingNeverChangesTheFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Inbox"));
    ASSERT_TRUE(QFile::copy(storePath(QStringLiteral("purchases.mbox")), path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::ReadGroup);
    const QDateTime modified = QDateTime::currentDateTimeUtc().addDays(-3);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    const QByteArray before = readEmailData(QStringLiteral("stores/purchases.mbox"));

    const ReadResult result = readStore(path);
    EXPECT_EQ(result.counts.messages, 6);
    MailStoreReader().messageAt(result.messages.at(3).place);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QFileInfo(path).lastModified().toSecsSinceEpoch(), modified.toSecsSinceEpoch());
}
