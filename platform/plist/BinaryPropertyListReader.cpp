#include "BinaryPropertyListReader.h"

#include "PropertyList.h"

#include <QDateTime>

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

constexpr qint64 HeaderSize = 8;
constexpr qint64 TrailerSize = 32;
// Dates further than this from 2001 (about 31,700 years) are refused rather than converted.
constexpr double LargestDateSeconds = 1e12;

enum Kind : quint8 {
    Simple = 0x0,
    Integer = 0x1,
    Real = 0x2,
    Date = 0x3,
    Data = 0x4,
    AsciiString = 0x5,
    Utf16String = 0x6,
    Uid = 0x8,
    Array = 0xA,
    Set = 0xC,
    Dictionary = 0xD,
};

constexpr quint8 FalseMarker = 0x08;
constexpr quint8 TrueMarker = 0x09;
constexpr quint8 DateMarker = 0x33;
// A count of 15 in a marker means the real count follows as an integer object.
constexpr quint8 CountFollows = 0x0F;

bool isSupportedWidth(int width)
{
    return width == 1 || width == 2 || width == 4 || width == 8;
}

QString hex(quint8 marker)
{
    return QStringLiteral("0x%1").arg(marker, 2, 16, QLatin1Char('0'));
}

} // namespace

BinaryPropertyListReader::BinaryPropertyListReader(const QByteArray& data)
    : m_data(data)
{ }

std::optional<QVariant> BinaryPropertyListReader::read()
{
    m_error.clear();
    m_leaves.clear();
    if (!readTrailer()) {
        return std::nullopt;
    }
    m_collectionState.assign(m_objectCount, CollectionState::Unread);
    m_collections.clear();
    m_collectionSizes.clear();
    return readObject(m_topObject, 0);
}

std::optional<QVariant> BinaryPropertyListReader::fail(const QString& message)
{
    m_error = QStringLiteral("The binary property list is damaged: %1.").arg(message);
    return std::nullopt;
}

bool BinaryPropertyListReader::readTrailer()
{
    const qint64 size = m_data.size();
    if (size < HeaderSize + TrailerSize + 2) {
        fail(QStringLiteral("it is too short"));
        return false;
    }
    if (!m_data.startsWith("bplist00")) {
        fail(QStringLiteral("its header is not \"bplist00\""));
        return false;
    }
    const qint64 trailer = size - TrailerSize;
    m_offsetWidth = quint8(m_data.at(trailer + 6));
    m_referenceWidth = quint8(m_data.at(trailer + 7));
    m_objectCount = readUnsigned(trailer + 8, 8);
    m_topObject = readUnsigned(trailer + 16, 8);
    const quint64 offsetTable = readUnsigned(trailer + 24, 8);
    if (!isSupportedWidth(m_offsetWidth) || !isSupportedWidth(m_referenceWidth)) {
        fail(QStringLiteral("its trailer gives offsets of %1 and references of %2 bytes")
                 .arg(m_offsetWidth)
                 .arg(m_referenceWidth));
        return false;
    }
    if (offsetTable <= quint64(HeaderSize) || offsetTable > quint64(trailer)) {
        fail(QStringLiteral("its offset table lies outside the data"));
        return false;
    }
    m_offsetTable = qint64(offsetTable);
    if (m_objectCount == 0 || m_objectCount > quint64(trailer - m_offsetTable) / quint64(m_offsetWidth)) {
        fail(QStringLiteral("its offset table cannot hold %1 objects").arg(m_objectCount));
        return false;
    }
    if (m_topObject >= m_objectCount) {
        fail(QStringLiteral("its top object %1 does not exist").arg(m_topObject));
        return false;
    }
    return true;
}

std::optional<qint64> BinaryPropertyListReader::objectOffset(quint64 index)
{
    const quint64 offset = readUnsigned(m_offsetTable + qint64(index) * m_offsetWidth, m_offsetWidth);
    if (offset < quint64(HeaderSize) || offset >= quint64(m_offsetTable)) {
        fail(QStringLiteral("object %1 lies outside the objects").arg(index));
        return std::nullopt;
    }
    return qint64(offset);
}

std::optional<QVariant> BinaryPropertyListReader::readObject(quint64 index, int depth)
{
    if (index >= m_objectCount) {
        return fail(QStringLiteral("it refers to object %1 of %2").arg(index).arg(m_objectCount));
    }
    if (depth > PropertyList::MaximumDepth) {
        return fail(QStringLiteral("it nests deeper than %1 levels").arg(PropertyList::MaximumDepth));
    }
    const std::optional<qint64> offset = objectOffset(index);
    if (!offset) {
        return std::nullopt;
    }
    const quint8 marker = quint8(m_data.at(*offset));
    const quint8 kind = marker >> 4;
    if (kind == Array || kind == Set || kind == Dictionary) {
        return readCollection(index, marker, *offset + 1, depth);
    }
    // Writers share equal leaf values; reading each once keeps shared data from being copied again.
    if (const auto cached = m_leaves.constFind(index); cached != m_leaves.cend()) {
        return *cached;
    }
    std::optional<QVariant> leaf = readLeaf(marker, *offset + 1);
    if (leaf) {
        m_leaves.insert(index, *leaf);
    }
    return leaf;
}

std::optional<QVariant> BinaryPropertyListReader::readLeaf(quint8 marker, qint64 position)
{
    const int info = marker & 0x0F;
    switch (marker >> 4) {
    case Simple:
        if (marker == FalseMarker || marker == TrueMarker) {
            return marker == TrueMarker;
        }
        break;
    case Integer: {
        const int width = info <= 4 ? 1 << info : 0;
        if (width == 0 || !fits(position, quint64(width), 1)) {
            break;
        }
        // Integers of 16 bytes carry values above the signed 64-bit range in their low 8 bytes.
        // Like the rest of the program, a value above that range is kept as its 64-bit pattern.
        const quint64 value = width == 16 ? readUnsigned(position + 8, 8) : readUnsigned(position, width);
        return qint64(value);
    }
    case Real:
        if (info == 2 && fits(position, 4, 1)) {
            return double(std::bit_cast<float>(quint32(readUnsigned(position, 4))));
        }
        if (info == 3 && fits(position, 8, 1)) {
            return std::bit_cast<double>(readUnsigned(position, 8));
        }
        break;
    case Date: {
        if (marker != DateMarker || !fits(position, 8, 1)) {
            break;
        }
        const double seconds = std::bit_cast<double>(readUnsigned(position, 8));
        if (!std::isfinite(seconds) || std::abs(seconds) > LargestDateSeconds) {
            return fail(QStringLiteral("it holds a date out of range"));
        }
        const qint64 ms = std::llround(seconds * 1000) + PropertyList::ReferenceDateSeconds * 1000;
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    }
    case Data:
    case AsciiString:
    case Utf16String: {
        const std::optional<quint64> count = readCount(marker, &position);
        if (!count) {
            return std::nullopt;
        }
        const quint64 unit = (marker >> 4) == Utf16String ? 2 : 1;
        if (!fits(position, *count, unit)) {
            return fail(QStringLiteral("an object of %1 bytes runs past the objects").arg(*count * unit));
        }
        const char* bytes = m_data.constData() + position;
        if ((marker >> 4) == Data) {
            return QByteArray(bytes, qsizetype(*count));
        }
        if ((marker >> 4) == AsciiString) {
            return QString::fromUtf8(bytes, qsizetype(*count));
        }
        QString text(qsizetype(*count), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            text[i] = QChar(char16_t(readUnsigned(position + 2 * i, 2)));
        }
        return text;
    }
    case Uid:
        if (info < 8 && fits(position, quint64(info) + 1, 1)) {
            return quint64(readUnsigned(position, info + 1));
        }
        break;
    default:
        break;
    }
    return fail(QStringLiteral("it holds an object it cannot read (marker %1)").arg(hex(marker)));
}

std::optional<QVariant> BinaryPropertyListReader::readCollection(quint64 index, quint8 marker, qint64 position,
                                                                 int depth)
{
    // A collection may be shared by several parents (writers may share equal containers): it is
    // read once and the same value reused, so sharing never multiplies the work. A collection
    // reached again while it is being read contains itself.
    if (m_collectionState[index] == CollectionState::Reading) {
        return fail(QStringLiteral("collection %1 is contained in itself").arg(index));
    }
    if (m_collectionState[index] == CollectionState::Read) {
        return m_collections.value(index);
    }
    m_collectionState[index] = CollectionState::Reading;
    quint64 size = 1;
    std::optional<QVariant> value = readEntries(marker, position, depth, &size);
    if (!value) {
        return std::nullopt;
    }
    // What a reader walking the value meets, shared parts counted each time they are reached.
    if (size > MaximumExpandedSize) {
        return fail(QStringLiteral("it expands to more than %1 values").arg(MaximumExpandedSize));
    }
    m_collectionState[index] = CollectionState::Read;
    m_collections.insert(index, *value);
    m_collectionSizes.insert(index, size);
    return value;
}

quint64 BinaryPropertyListReader::expandedSize(quint64 index) const
{
    return m_collectionSizes.value(index, 1);
}

std::optional<QVariant> BinaryPropertyListReader::readEntries(quint8 marker, qint64 position, int depth, quint64* size)
{
    const std::optional<quint64> count = readCount(marker, &position);
    if (!count) {
        return std::nullopt;
    }
    const bool isDictionary = (marker >> 4) == Dictionary;
    const quint64 entryWidth = quint64(m_referenceWidth) * (isDictionary ? 2 : 1);
    if (!fits(position, *count, entryWidth)) {
        return fail(QStringLiteral("a collection of %1 entries runs past the objects").arg(*count));
    }
    auto reference
        = [&](quint64 slot) { return readUnsigned(position + qint64(slot) * m_referenceWidth, m_referenceWidth); };
    if (!isDictionary) {
        QVariantList list;
        for (quint64 i = 0; i < *count; ++i) {
            std::optional<QVariant> item = readObject(reference(i), depth + 1);
            if (!item) {
                return std::nullopt;
            }
            list.append(std::move(*item));
            *size += expandedSize(reference(i));
        }
        return list;
    }
    QVariantMap map;
    for (quint64 i = 0; i < *count; ++i) {
        const std::optional<QString> key = readKey(reference(i), depth + 1);
        if (!key) {
            return std::nullopt;
        }
        std::optional<QVariant> value = readObject(reference(*count + i), depth + 1);
        if (!value) {
            return std::nullopt;
        }
        map.insert(*key, std::move(*value));
        *size += 1 + expandedSize(reference(*count + i));
    }
    return map;
}

std::optional<QString> BinaryPropertyListReader::readKey(quint64 index, int depth)
{
    const std::optional<QVariant> key = readObject(index, depth);
    if (!key) {
        return std::nullopt;
    }
    if (key->typeId() != QMetaType::QString) {
        fail(QStringLiteral("a dictionary key is not a string"));
        return std::nullopt;
    }
    QString text = key->toString();
    if (text.contains(QChar(0))) {
        fail(QStringLiteral("a dictionary key holds a NUL character"));
        return std::nullopt;
    }
    return text;
}

std::optional<quint64> BinaryPropertyListReader::readCount(quint8 marker, qint64* position)
{
    if ((marker & 0x0F) != CountFollows) {
        return marker & 0x0F;
    }
    if (!fits(*position, 1, 1)) {
        fail(QStringLiteral("a length runs past the objects"));
        return std::nullopt;
    }
    const quint8 lengthMarker = quint8(m_data.at(*position));
    const int width = 1 << (lengthMarker & 0x0F);
    if ((lengthMarker >> 4) != Integer || width > 8 || !fits(*position + 1, quint64(width), 1)) {
        fail(QStringLiteral("a length is not a readable integer"));
        return std::nullopt;
    }
    const quint64 count = readUnsigned(*position + 1, width);
    *position += 1 + width;
    return count;
}

bool BinaryPropertyListReader::fits(qint64 position, quint64 count, quint64 width) const
{
    // Objects lie between the header and the offset table.
    return position >= HeaderSize && position <= m_offsetTable && count <= quint64(m_offsetTable - position) / width;
}

quint64 BinaryPropertyListReader::readUnsigned(qint64 position, int width) const
{
    quint64 value = 0;
    for (int i = 0; i < width; ++i) {
        value = (value << 8) | quint8(m_data.at(position + i));
    }
    return value;
}
