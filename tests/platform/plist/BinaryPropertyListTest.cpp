// Damaged and hand-made binary property lists: each is built byte by byte here, so that every check
// of the reader is reached on purpose.
#include "plist/PropertyList.h"

#include <QDateTime>

#include <bit>
#include <gtest/gtest.h>
#include <optional>

namespace {

QByteArray bigEndian(quint64 value, int width)
{
    QByteArray bytes;
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) {
        bytes.append(char((value >> shift) & 0xFF));
    }
    return bytes;
}

QByteArray ascii(const QByteArray& text)
{
    return char(0x50 | text.size()) + text;
}

// Assembles a binary property list from its objects; the offset table and the trailer are computed
// unless a test overrides them to damage the list.
struct BinaryList
{
    BinaryList(QList<QByteArray> objects = {})
        : objects(std::move(objects))
    { }

    QList<QByteArray> objects;
    quint64 top = 0;
    int offsetWidth = 1;
    int referenceWidth = 1;
    std::optional<quint64> objectCount;
    std::optional<quint64> tableOffset;
    QList<quint64> offsetOverrides;

    QByteArray bytes() const
    {
        QByteArray data("bplist00");
        QList<quint64> offsets;
        for (const QByteArray& object : objects) {
            offsets.append(quint64(data.size()));
            data += object;
        }
        for (qsizetype i = 0; i < offsetOverrides.size(); ++i) {
            offsets[i] = offsetOverrides.at(i);
        }
        const quint64 table = quint64(data.size());
        for (const quint64 offset : offsets) {
            data += bigEndian(offset, offsetWidth);
        }
        data += QByteArray(6, '\0') + char(offsetWidth) + char(referenceWidth);
        data += bigEndian(objectCount.value_or(quint64(objects.size())), 8);
        data += bigEndian(top, 8);
        data += bigEndian(tableOffset.value_or(table), 8);
        return data;
    }
};

// A dictionary of one key (object 1) and one value (object 2).
BinaryList oneEntryDictionary(const QByteArray& key, const QByteArray& value)
{
    return BinaryList {{QByteArray("\xD1\x01\x02", 3), key, value}};
}

} // namespace

TEST(BinaryPropertyList, ReadsSharedLeavesWideIntegersUtf16AndSets)
{
    // A set of: the same string twice, a 16-byte integer, a UTF-16 string, a float, a date and a UID.
    const BinaryList list {{QByteArray("\xC7\x01\x01\x02\x03\x04\x05\x06", 8), ascii("same"),
                            QByteArray("\x14", 1) + bigEndian(0, 8) + bigEndian(quint64(-7), 8),
                            QByteArray("\x62\x00\xFC\x20\xAC", 5), QByteArray("\x22\x3E\x80\x00\x00", 5),
                            QByteArray("\x33", 1) + bigEndian(std::bit_cast<quint64>(double(1 << 30)), 8),
                            QByteArray("\x81\x01\x00", 3)}};
    const auto value = PropertyList::fromData(list.bytes());
    ASSERT_TRUE(value.has_value());
    const QVariantList items = value->toList();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items.at(0).toString(), QStringLiteral("same"));
    EXPECT_EQ(items.at(1).toString(), QStringLiteral("same"));
    EXPECT_EQ(items.at(2).toLongLong(), -7);
    EXPECT_EQ(items.at(3).toString(), QStringLiteral("ü€"));
    EXPECT_DOUBLE_EQ(items.at(4).toDouble(), 0.25);
    EXPECT_EQ(items.at(5).toDateTime(), QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).addSecs(1LL << 30));
    EXPECT_EQ(items.at(6).toULongLong(), 256u);
}

TEST(BinaryPropertyList, SharedCollectionsAreReadButMayNotExplode)
{
    // Object i is an array holding object i + 1 twice, down to an empty array: 2^levels paths.
    auto doubling = [](int levels) {
        BinaryList list;
        for (int i = 0; i < levels; ++i) {
            list.objects.append(QByteArray("\xA2", 1) + char(i + 1) + char(i + 1));
        }
        list.objects.append(QByteArray("\xA0", 1));
        return list.bytes();
    };
    QString error;
    const auto small = PropertyList::fromData(doubling(3), &error);
    ASSERT_TRUE(small.has_value()) << error.toStdString();
    QVariant level = *small;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(level.toList().size(), 2) << i;
        level = level.toList().at(1);
    }
    EXPECT_TRUE(level.toList().isEmpty());

    EXPECT_FALSE(PropertyList::fromData(doubling(60), &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("expands"))) << error.toStdString();
}

TEST(BinaryPropertyList, RefusesDamagedKeysAndReferences)
{
    const struct
    {
        const char* name;
        BinaryList list;
    } cases[] = {
        {"key holding a NUL byte", oneEntryDictionary(ascii(QByteArray("a\0b", 3)), ascii("x"))},
        {"UTF-16 key holding a NUL", oneEntryDictionary(QByteArray("\x61\x00\x00", 3), ascii("x"))},
        {"integer key", oneEntryDictionary(QByteArray("\x10\x05", 2), ascii("x"))},
        {"dictionary as key", oneEntryDictionary(QByteArray("\xD0", 1), ascii("x"))},
        {"array holding itself", BinaryList {{QByteArray("\xA1\x00", 2)}}},
        {"dictionary holding itself", oneEntryDictionary(ascii("k"), QByteArray("\xA1\x00", 2))},
        {"array inside itself, one level down", BinaryList {{QByteArray("\xA1\x01", 2), QByteArray("\xA1\x00", 2)}}},
        {"reference past the objects", BinaryList {{QByteArray("\xA1\x07", 2)}}},
        {"count longer than the references", BinaryList {{QByteArray("\xAE\x00", 2)}}},
        {"string longer than the data", BinaryList {{QByteArray("\x5F\x12\xFF\xFF\xFF\xFF", 6) + "abc"}}},
        {"data length that is no integer", BinaryList {{QByteArray("\x4F\x50", 2)}}},
        {"date that is not a number", BinaryList {{QByteArray("\x33", 1) + bigEndian(0x7FF8000000000000ull, 8)}}},
        {"null object", BinaryList {{QByteArray("\x00", 1)}}},
        {"unknown marker", BinaryList {{QByteArray("\x70", 1)}}},
        {"integer wider than 16 bytes", BinaryList {{QByteArray("\x15", 1) + QByteArray(32, '\0')}}},
    };
    for (const auto& entry : cases) {
        QString error;
        EXPECT_FALSE(PropertyList::fromData(entry.list.bytes(), &error).has_value()) << entry.name;
        EXPECT_TRUE(error.startsWith(QStringLiteral("The binary property list is damaged"))) << entry.name;
    }
}

TEST(BinaryPropertyList, RefusesDamagedTrailersAndOffsets)
{
    auto damaged = [](auto change) {
        BinaryList list = oneEntryDictionary(ascii("key"), ascii("value"));
        change(list);
        return list.bytes();
    };
    const struct
    {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"no objects", damaged([](BinaryList& l) { l.objectCount = 0; })},
        {"more objects than the table holds", damaged([](BinaryList& l) { l.objectCount = 1ull << 40; })},
        {"top object past the end", damaged([](BinaryList& l) { l.top = 3; })},
        {"offset table inside the header", damaged([](BinaryList& l) { l.tableOffset = 4; })},
        {"offset table past the trailer", damaged([](BinaryList& l) { l.tableOffset = ~0ull; })},
        {"offsets three bytes wide", damaged([](BinaryList& l) { l.offsetWidth = 3; })},
        {"references of no width", damaged([](BinaryList& l) { l.referenceWidth = 0; })},
        {"object inside the header", damaged([](BinaryList& l) {
             l.offsetOverrides = {0, 2};
         })},
        {"object in the offset table", damaged([](BinaryList& l) {
             l.offsetOverrides = {8, 11, 21};
         })},
        {"header of another version", damaged([](BinaryList&) {}).replace(6, 2, "15")},
    };
    for (const auto& entry : cases) {
        QString error;
        EXPECT_FALSE(PropertyList::fromData(entry.bytes, &error).has_value()) << entry.name;
        EXPECT_FALSE(error.isEmpty()) << entry.name;
    }
    // Every cut of a valid list loses its trailer and is refused.
    const QByteArray valid = damaged([](BinaryList&) {});
    ASSERT_TRUE(PropertyList::fromData(valid).has_value());
    for (qsizetype size = 1; size < valid.size(); ++size) {
        EXPECT_FALSE(PropertyList::fromData(valid.left(size)).has_value()) << size;
    }
}

TEST(BinaryPropertyList, RefusesNestingDeeperThanTheLimit)
{
    auto nested = [](int depth) {
        BinaryList list;
        list.referenceWidth = 2;
        list.offsetWidth = 4;
        for (int i = 0; i < depth; ++i) {
            list.objects.append(QByteArray("\xA1", 1) + bigEndian(quint64(i + 1), 2));
        }
        list.objects.append(QByteArray("\xA0", 1));
        return list.bytes();
    };
    EXPECT_TRUE(PropertyList::fromData(nested(PropertyList::MaximumDepth)).has_value());
    QString error;
    EXPECT_FALSE(PropertyList::fromData(nested(PropertyList::MaximumDepth + 1), &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("deeper"))) << error.toStdString();
}
