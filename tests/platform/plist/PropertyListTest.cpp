#include "plist/PropertyList.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QVariantMap sampleDictionary()
{
    QVariantMap inner;
    inner.insert(QStringLiteral("flag"), true);
    inner.insert(QStringLiteral("bytes"), QByteArray("\x00\x01\xff", 3));
    QVariantMap map;
    map.insert(QStringLiteral("name"), QStringLiteral("Grüße & <Tags>"));
    map.insert(QStringLiteral("count"), qint64(42));
    map.insert(QStringLiteral("negative"), qint64(-7));
    map.insert(QStringLiteral("ratio"), 0.25);
    map.insert(QStringLiteral("when"), QDateTime(QDate(2009, 3, 3), QTime(10, 20, 30), Qt::UTC));
    map.insert(QStringLiteral("list"), QVariantList {QStringLiteral("a"), qint64(1), inner});
    return map;
}

} // namespace

TEST(PropertyList, RoundTripsEveryTypeInBothFormats)
{
    const QVariantMap original = sampleDictionary();
    for (const auto format : {PropertyList::Format::Xml, PropertyList::Format::Binary}) {
        const QByteArray bytes = PropertyList::toData(original, format);
        ASSERT_FALSE(bytes.isEmpty());
        const auto parsed = PropertyList::fromData(bytes);
        ASSERT_TRUE(parsed.has_value());
        const QVariantMap map = parsed->toMap();
        EXPECT_EQ(map.value("name").toString(), original.value("name").toString());
        EXPECT_EQ(map.value("count").toLongLong(), 42);
        EXPECT_EQ(map.value("negative").toLongLong(), -7);
        EXPECT_DOUBLE_EQ(map.value("ratio").toDouble(), 0.25);
        EXPECT_EQ(map.value("when").toDateTime(), original.value("when").toDateTime());
        const QVariantList list = map.value("list").toList();
        ASSERT_EQ(list.size(), 3);
        const QVariantMap inner = list.at(2).toMap();
        EXPECT_TRUE(inner.value("flag").toBool());
        EXPECT_EQ(inner.value("bytes").toByteArray(), QByteArray("\x00\x01\xff", 3));
    }
}

TEST(PropertyList, RejectsWhatIsNoPropertyList)
{
    QString error;
    EXPECT_FALSE(PropertyList::fromData(QByteArray(), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(PropertyList::fromData("just some text", &error).has_value());
    EXPECT_FALSE(PropertyList::fromData("<?xml version=\"1.0\"?><plist><dict><key>a</key>", &error).has_value());
    EXPECT_FALSE(PropertyList::fromData(QByteArray("bplist00\x01\x02", 10), &error).has_value());
}

TEST(PropertyList, WritesFilesAtomicallyAndReadsThemBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sync.plist"));
    QString error;
    ASSERT_TRUE(PropertyList::toFile(sampleDictionary(), path, PropertyList::Format::Xml, &error))
        << error.toStdString();
    const auto parsed = PropertyList::fromFile(path, &error);
    ASSERT_TRUE(parsed.has_value()) << error.toStdString();
    EXPECT_EQ(parsed->toMap().value("count").toLongLong(), 42);
    EXPECT_FALSE(PropertyList::toFile(sampleDictionary(), dir.filePath(QStringLiteral("missing/x.plist"))));
    EXPECT_FALSE(PropertyList::fromFile(dir.filePath(QStringLiteral("nothing.plist")), &error).has_value());
}
