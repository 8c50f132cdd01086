#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

// Reads a binary property list ("bplist00") into Qt values, with the mapping of PropertyList.h.
//
// The format: an 8-byte header, the objects, an offset table giving the position of every object,
// and a 32-byte trailer (width of an offset and of an object reference, object count, top object,
// position of the offset table). Collections hold references (indexes into the offset table).
//
// Everything is checked against the data before it is used: sizes in the trailer, offsets, object
// references, element counts, string and data lengths, nesting depth. Objects may be shared, as
// writers share equal values: each is read once and its value reused. A collection that contains
// itself is refused, and so is a list whose shared parts would make it larger than
// MaximumExpandedSize values for whoever walks it (a few hundred bytes can describe 2^60 paths).
class BinaryPropertyListReader
{
public:
    static constexpr quint64 MaximumExpandedSize = 1 << 20;
    explicit BinaryPropertyListReader(const QByteArray& data);

    // The value of the top object, or std::nullopt with errorString() telling why not.
    std::optional<QVariant> read();
    QString errorString() const { return m_error; }

private:
    std::optional<QVariant> fail(const QString& message);
    bool readTrailer();
    std::optional<qint64> objectOffset(quint64 index);
    std::optional<QVariant> readObject(quint64 index, int depth);
    std::optional<QVariant> readLeaf(quint8 marker, qint64 position);
    std::optional<QVariant> readCollection(quint64 index, quint8 marker, qint64 position, int depth);
    std::optional<QVariant> readEntries(quint8 marker, qint64 position, int depth, quint64* size);
    quint64 expandedSize(quint64 index) const;
    std::optional<QString> readKey(quint64 index, int depth);
    std::optional<quint64> readCount(quint8 marker, qint64* position);
    bool fits(qint64 position, quint64 count, quint64 width) const;
    quint64 readUnsigned(qint64 position, int width) const;

    const QByteArray m_data;
    QString m_error;
    int m_offsetWidth = 0;
    int m_referenceWidth = 0;
    quint64 m_objectCount = 0;
    quint64 m_topObject = 0;
    qint64 m_offsetTable = 0;
    enum class CollectionState : quint8 { Unread, Reading, Read };
    std::vector<CollectionState> m_collectionState;
    QHash<quint64, QVariant> m_collections;
    QHash<quint64, quint64> m_collectionSizes;
    QHash<quint64, QVariant> m_leaves;
};
