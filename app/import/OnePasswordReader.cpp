#include "OnePasswordReader.h"

#include "ForeignJsonDocument.h"
#include "OnePasswordItem.h"
#include "ZipArchive.h"
#include "base/Localization.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <optional>

namespace {

const QString DataEntry = QStringLiteral("export.data");

bool hasLongString(const QJsonValue& value, qint64 limit)
{
    if (value.isString()) {
        return value.toString().size() > limit;
    }
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        return std::any_of(array.begin(), array.end(), [&](const QJsonValue& v) { return hasLongString(v, limit); });
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (it.key().size() > limit || hasLongString(it.value(), limit)) {
                return true;
            }
        }
    }
    return false;
}

std::optional<QJsonObject> exportData(const QList<ZipArchive::Entry>& entries, const ForeignReadLimits& limits,
                                      QString* error)
{
    const auto data = std::find_if(entries.begin(), entries.end(),
                                   [](const ZipArchive::Entry& entry) { return entry.name == DataEntry; });
    if (data == entries.end()) {
        *error = localizedString(QStringLiteral("OnePasswordNoExportData"));
        return std::nullopt;
    }
    const std::optional<QJsonObject> root = ForeignJsonDocument::parse(data->bytes, limits, error);
    if (!root) {
        return std::nullopt;
    }
    if (!root->value(QStringLiteral("accounts")).isArray()) {
        *error = localizedString(QStringLiteral("OnePasswordNoAccounts"));
        return std::nullopt;
    }
    if (hasLongString(*root, limits.maximumFieldSize)) {
        *error = localizedFormat(QStringLiteral("OnePasswordFieldTooLongFormat"),
                                 {QString::number(limits.maximumFieldSize)});
        return std::nullopt;
    }
    return root;
}

QList<QJsonObject> itemsOf(const QJsonObject& root, QString* error)
{
    QList<QJsonObject> items;
    for (const QJsonValue& account : root.value(QStringLiteral("accounts")).toArray()) {
        for (const QJsonValue& vault : account.toObject().value(QStringLiteral("vaults")).toArray()) {
            for (const QJsonValue& item : vault.toObject().value(QStringLiteral("items")).toArray()) {
                if (!item.isObject()) {
                    *error = localizedString(QStringLiteral("OnePasswordItemNotAnObject"));
                    return {};
                }
                items.append(item.toObject());
            }
        }
    }
    return items;
}

} // namespace

QString OnePasswordReader::name() const
{
    return QStringLiteral("1Password 1PUX");
}

bool OnePasswordReader::recognises(const QByteArray& head) const
{
    return head.startsWith("PK\x03\x04") && (head.contains("export.attributes") || head.contains("export.data"));
}

ForeignReadResult OnePasswordReader::read(const QByteArray& bytes, const ForeignReadLimits& limits) const
{
    ZipArchive::Limits zipLimits;
    zipLimits.maximumEntrySize = limits.maximumFileSize;
    zipLimits.maximumTotalSize = limits.maximumFileSize;
    QList<ZipArchive::Entry> entries;
    QString error;
    if (!ZipArchive::readAll(bytes, zipLimits, &entries, &error)) {
        return ForeignReadResult::failure(name(), error);
    }
    const std::optional<QJsonObject> root = exportData(entries, limits, &error);
    if (!root) {
        return ForeignReadResult::failure(name(), error);
    }
    const QList<QJsonObject> items = itemsOf(*root, &error);
    if (!error.isEmpty()) {
        return ForeignReadResult::failure(name(), error);
    }
    ForeignReadResult result;
    result.format = name();
    QList<OnePasswordItem> documents;
    for (const QJsonObject& object : items) {
        const OnePasswordItem item(object);
        if (item.isPassedOver()) {
            continue;
        }
        if (item.isDocument()) {
            documents.append(item);
        } else if (item.isLicence()) {
            result.records.append(item.record(entries, limits, &result.warnings));
        } else {
            ++result.skippedNotLicence;
        }
    }
    for (const OnePasswordItem& document : std::as_const(documents)) {
        const auto owner = std::find_if(result.records.begin(), result.records.end(), [&](const ForeignRecord& r) {
            return r.title.compare(document.title(), Qt::CaseInsensitive) == 0;
        });
        if (owner != result.records.end()) {
            document.attachDocument(entries, limits, &*owner, &result.warnings);
        } else if (document.isLicence()) {
            result.records.append(document.record(entries, limits, &result.warnings));
        } else {
            ++result.skippedNotLicence;
        }
    }
    return result;
}
