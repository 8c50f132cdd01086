#include "EnpassJsonReader.h"

#include "ForeignEntryBuilder.h"
#include "ForeignFieldMapping.h"
#include "ForeignJsonDocument.h"
#include "base/Localization.h"

#include <QHash>
#include <QJsonArray>

namespace {

QString text(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    return value.isString() ? value.toString() : value.toVariant().toString();
}

void readFields(ForeignEntryBuilder& entry, const QJsonArray& fields)
{
    for (const QJsonValue& value : fields) {
        const QJsonObject field = value.toObject();
        const QString type = text(field, "type");
        if (field.value(QLatin1String("deleted")).toInt() != 0 || type == u"section") {
            continue;
        }
        const QString label = text(field, "label");
        const QString fieldValue = text(field, "value");
        if (type == u"password" && !ForeignFieldMapping::isLicenceLabel(label)) {
            entry.setPassword(fieldValue);
        } else if (type == u"url" && !ForeignFieldMapping::isLicenceLabel(label)) {
            entry.addWebsite(fieldValue);
        } else {
            entry.addField(label, fieldValue);
        }
    }
}

void readAttachments(ForeignEntryBuilder& entry, const QJsonArray& attachments, QStringList& warnings)
{
    for (const QJsonValue& value : attachments) {
        const QJsonObject attachment = value.toObject();
        const QByteArray encoded = text(attachment, "data").toLatin1();
        auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) {
            warnings.append(
                localizedFormat(QStringLiteral("ForeignImportAttachmentUnreadableFormat"), {text(attachment, "name")}));
            continue;
        }
        entry.addAttachment(text(attachment, "name"), *decoded, warnings);
    }
}

} // namespace

bool EnpassJsonReader::recognises(const QByteArray& head) const
{
    return ForeignJsonDocument::looksLikeObjectWithKey(head, "items") && head.contains("\"template_type\"");
}

ForeignReadResult EnpassJsonReader::read(const QByteArray& bytes, const ForeignReadLimits& limits) const
{
    QString error;
    const std::optional<QJsonObject> root = ForeignJsonDocument::parse(bytes, limits, &error);
    if (!root) {
        return ForeignReadResult::failure(name(), error);
    }
    if (!root->value(QLatin1String("items")).isArray()) {
        return ForeignReadResult::failure(name(), localizedString(QStringLiteral("ForeignImportNoItems")));
    }
    QHash<QString, QString> folders;
    for (const QJsonValue& folder : root->value(QLatin1String("folders")).toArray()) {
        const QJsonObject object = folder.toObject();
        folders.insert(text(object, "uuid"), text(object, "title"));
    }
    ForeignReadResult result;
    for (const QJsonValue& value : root->value(QLatin1String("items")).toArray()) {
        const QJsonObject item = value.toObject();
        if (item.value(QLatin1String("trashed")).toInt() != 0) {
            continue;
        }
        ForeignEntryBuilder entry(text(item, "title"), limits);
        entry.setLicenceKind(ForeignFieldMapping::isLicenceKind(text(item, "category"))
                             || ForeignFieldMapping::isLicenceKind(text(item, "template_type")));
        QStringList folderNames;
        for (const QJsonValue& uuid : item.value(QLatin1String("folders")).toArray()) {
            const QString folder = folders.value(uuid.toString());
            entry.setLicenceKind(!folder.isEmpty() && ForeignFieldMapping::isLicenceKind(folder));
            folderNames.append(folder);
        }
        entry.addUnmapped(QStringLiteral("Folder"), folderNames.join(QStringLiteral(", ")));
        readFields(entry, item.value(QLatin1String("fields")).toArray());
        readAttachments(entry, item.value(QLatin1String("attachments")).toArray(), result.warnings);
        entry.setNotes(text(item, "note"));
        if (const std::optional<QString> error = entry.finishInto(result)) {
            return ForeignReadResult::failure(name(), *error);
        }
    }
    return result;
}
