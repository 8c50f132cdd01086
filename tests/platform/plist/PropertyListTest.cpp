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

TEST(PropertyList, ReadsXmlAsOtherProgramsWriteIt)
{
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                           "<plist version=\"1.0\"><!-- written by hand -->\n<dict>\n"
                           "  <key>mask</key><integer>0x1F</integer>\n"
                           "  <key>big</key><integer>18446744073709551615</integer>\n"
                           "  <key>bytes</key><data>\n  AAH/\n  </data>\n"
                           "  <key>when</key><date>2009-03-03T11:20:30+01:00</date>\n"
                           "  <key>A &amp; B</key><string>&lt;x&gt;</string>\n"
                           "  <key>empty</key><dict/>\n"
                           "</dict>\n</plist>\n";
    QString error;
    const auto value = PropertyList::fromData(xml, &error);
    ASSERT_TRUE(value.has_value()) << error.toStdString();
    const QVariantMap map = value->toMap();
    EXPECT_EQ(map.value("mask").toLongLong(), 31);
    EXPECT_EQ(map.value("big").toLongLong(), -1);
    EXPECT_EQ(map.value("bytes").toByteArray(), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(map.value("when").toDateTime(), QDateTime(QDate(2009, 3, 3), QTime(10, 20, 30), Qt::UTC));
    EXPECT_EQ(map.value("A & B").toString(), QStringLiteral("<x>"));
    EXPECT_TRUE(map.contains("empty"));
    // UTF-16 with a byte-order mark, and text already converted to UTF-8 that still declares UTF-16.
    const QString utf16
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><string>ü</string></plist>");
    QByteArray marked("\xFF\xFE");
    marked.append(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    EXPECT_EQ(PropertyList::fromData(marked)->toString(), QStringLiteral("ü"));
    EXPECT_EQ(PropertyList::fromData(utf16.toUtf8())->toString(), QStringLiteral("ü"));
    // A value without the <plist> wrapper is read as well.
    EXPECT_EQ(PropertyList::fromData("<array><true/><real>1.5</real></array>")->toList().size(), 2);
}

TEST(PropertyList, RefusesXmlOfBadStructure)
{
    const QByteArray deep = QByteArray("<plist>") + QByteArray("<array>").repeated(PropertyList::MaximumDepth + 2)
        + QByteArray("</array>").repeated(PropertyList::MaximumDepth + 2) + "</plist>";
    const char* const cases[] = {
        "<plist><dict><key>a</key></dict></plist>",
        "<plist><dict><string>no key</string></dict></plist>",
        "<plist><dict><key>a</key><key>b</key><string>c</string></dict></plist>",
        "<plist><dict><key>a<string>nested</string></key><true/></dict></plist>",
        "<plist><array><blob/></array></plist>",
        "<plist><array>loose text</array></plist>",
        "<plist><string>a</string><string>b</string></plist>",
        "<plist><true/></plist><plist><false/></plist>",
        "<plist></plist>",
        "<plist><true>yes</true></plist>",
        "<plist><integer>12abc</integer></plist>",
        "<plist><integer></integer></plist>",
        "<plist><real>one</real></plist>",
        "<plist><date>yesterday</date></plist>",
        "<plist><data>A*B=</data></plist>",
        "<plist><dict><key>a&#0;b</key><true/></dict></plist>",
        "<plist><array><true/></plist>",
        "<plist><array><true/></array>",
        deep.constData(),
    };
    for (const char* xml : cases) {
        QString error;
        EXPECT_FALSE(PropertyList::fromData(xml, &error).has_value()) << xml;
        EXPECT_FALSE(error.isEmpty()) << xml;
    }
}
