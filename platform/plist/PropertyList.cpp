#include "PropertyList.h"

#include "BinaryPropertyListReader.h"
#include "XmlPropertyListReader.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

#include <memory>
#include <plist/plist.h>

namespace {

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Property lists are only written with libplist; they are read by our own readers, which check
// every length and reference before use.
plist_t fromVariant(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_dict_set_item(dict, it.key().toUtf8().constData(), fromVariant(it.value()));
        }
        return dict;
    }
    case QMetaType::QVariantHash: {
        QVariantMap map;
        const QVariantHash hash = value.toHash();
        for (auto it = hash.cbegin(); it != hash.cend(); ++it) {
            map.insert(it.key(), it.value());
        }
        return fromVariant(map);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant& item : value.toList()) {
            plist_array_append_item(array, fromVariant(item));
        }
        return array;
    }
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Long:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::ULong:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 ms = value.toDateTime().toMSecsSinceEpoch() - PropertyList::ReferenceDateSeconds * 1000;
        const qint64 seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
        return plist_new_date(int32_t(seconds), int32_t((ms - seconds * 1000) * 1000));
    }
    default:
        return plist_new_string(value.toString().toUtf8().constData());
    }
}

} // namespace

namespace PropertyList {

std::optional<QVariant> fromData(const QByteArray& data, QString* error)
{
    auto fail = [error](const QString& message) -> std::optional<QVariant> {
        if (error) {
            *error = message;
        }
        return std::nullopt;
    };
    if (data.isEmpty()) {
        return fail(QStringLiteral("The property list is empty."));
    }
    if (data.size() > MaximumSize) {
        return fail(QStringLiteral("The property list is too large."));
    }
    if (data.startsWith("bplist")) {
        BinaryPropertyListReader reader(data);
        std::optional<QVariant> value = reader.read();
        return value ? value : fail(reader.errorString());
    }
    XmlPropertyListReader reader(data);
    std::optional<QVariant> value = reader.read();
    return value ? value : fail(reader.errorString());
}

std::optional<QVariant> fromFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
        }
        return std::nullopt;
    }
    if (file.size() > MaximumSize) {
        if (error) {
            *error = QStringLiteral("%1 is too large to be a property list.").arg(path);
        }
        return std::nullopt;
    }
    return fromData(file.readAll(), error);
}

QByteArray toData(const QVariant& value, Format format)
{
    PlistPtr root(fromVariant(value));
    char* bytes = nullptr;
    uint32_t length = 0;
    if (format == Format::Xml) {
        plist_to_xml(root.get(), &bytes, &length);
    } else {
        plist_to_bin(root.get(), &bytes, &length);
    }
    QByteArray result(bytes, qsizetype(length));
    if (format == Format::Xml) {
        plist_to_xml_free(bytes);
    } else {
        plist_to_bin_free(bytes);
    }
    return result;
}

bool toFile(const QVariant& value, const QString& path, Format format, QString* error)
{
    const QByteArray bytes = toData(value, format);
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) {
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        }
        return false;
    }
    return true;
}

} // namespace PropertyList
