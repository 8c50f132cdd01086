#include "BitwardenJsonReader.h"

#include "ForeignEntryBuilder.h"
#include "ForeignFieldMapping.h"
#include "ForeignJsonDocument.h"
#include "base/Localization.h"

#include <QHash>
#include <QJsonArray>

namespace {

enum ItemType { Login = 1, SecureNote = 2, Card = 3, Identity = 4 };

// Every value of the object that is text or a number, under its key, in key order.
void addValues(ForeignEntryBuilder& entry, const QJsonObject& object, const QString& prefix)
{
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QJsonValue value = it.value();
        const QString text = value.isString() ? value.toString()
            : value.isDouble()                ? QString::number(value.toDouble())
                                              : QString();
        entry.addUnmapped(prefix + it.key(), text);
    }
}

void readLogin(ForeignEntryBuilder& entry, const QJsonObject& login)
{
    entry.addUnmapped(QStringLiteral("Username"), login.value(QLatin1String("username")).toString());
    entry.setPassword(login.value(QLatin1String("password")).toString());
    entry.addUnmapped(QStringLiteral("TOTP"), login.value(QLatin1String("totp")).toString());
    const QJsonArray uris = login.value(QLatin1String("uris")).toArray();
    for (const QJsonValue& uri : uris) {
        entry.addWebsite(uri.toObject().value(QLatin1String("uri")).toString());
    }
}

void readIdentity(ForeignEntryBuilder& entry, QJsonObject identity)
{
    QStringList name;
    for (const char* key : {"firstName", "middleName", "lastName"}) {
        const QString part = identity.take(QLatin1String(key)).toString().trimmed();
        if (!part.isEmpty()) {
            name.append(part);
        }
    }
    entry.addField(QStringLiteral("Full name"), name.join(QLatin1Char(' ')));
    entry.addField(QStringLiteral("Email"), identity.take(QLatin1String("email")).toString());
    entry.addField(QStringLiteral("Company"), identity.take(QLatin1String("company")).toString());
    addValues(entry, identity, QStringLiteral("Identity "));
}

} // namespace

bool BitwardenJsonReader::recognises(const QByteArray& head) const
{
    if (head.contains("\"template_type\"")) {
        return false;
    }
    return ForeignJsonDocument::looksLikeObjectWithKey(head, "encrypted")
        || (ForeignJsonDocument::looksLikeObjectWithKey(head, "items")
            && (head.contains("\"folderId\"") || head.contains("\"login\"")));
}

ForeignReadResult BitwardenJsonReader::read(const QByteArray& bytes, const ForeignReadLimits& limits) const
{
    QString error;
    const std::optional<QJsonObject> root = ForeignJsonDocument::parse(bytes, limits, &error);
    if (!root) {
        return ForeignReadResult::failure(name(), error);
    }
    if (root->value(QLatin1String("encrypted")).toBool() || root->value(QLatin1String("passwordProtected")).toBool()) {
        return ForeignReadResult::failure(name(), localizedString(QStringLiteral("ForeignImportBitwardenEncrypted")));
    }
    if (!root->value(QLatin1String("items")).isArray()) {
        return ForeignReadResult::failure(name(), localizedString(QStringLiteral("ForeignImportNoItems")));
    }
    QHash<QString, QString> folders;
    for (const QJsonValue& folder : root->value(QLatin1String("folders")).toArray()) {
        const QJsonObject object = folder.toObject();
        folders.insert(object.value(QLatin1String("id")).toString(), object.value(QLatin1String("name")).toString());
    }
    ForeignReadResult result;
    for (const QJsonValue& value : root->value(QLatin1String("items")).toArray()) {
        const QJsonObject item = value.toObject();
        ForeignEntryBuilder entry(item.value(QLatin1String("name")).toString(), limits);
        const QString folder = folders.value(item.value(QLatin1String("folderId")).toString());
        entry.setLicenceKind(!folder.isEmpty() && ForeignFieldMapping::isLicenceKind(folder));
        entry.addUnmapped(QStringLiteral("Folder"), folder);
        for (const QJsonValue& field : item.value(QLatin1String("fields")).toArray()) {
            const QJsonObject object = field.toObject();
            const QJsonValue fieldValue = object.value(QLatin1String("value"));
            entry.addField(object.value(QLatin1String("name")).toString(),
                           fieldValue.isString() ? fieldValue.toString() : fieldValue.toVariant().toString());
        }
        switch (item.value(QLatin1String("type")).toInt()) {
        case Login:
            readLogin(entry, item.value(QLatin1String("login")).toObject());
            break;
        case Card:
            addValues(entry, item.value(QLatin1String("card")).toObject(), QStringLiteral("Card "));
            break;
        case Identity:
            readIdentity(entry, item.value(QLatin1String("identity")).toObject());
            break;
        case SecureNote:
        default:
            break;
        }
        entry.setNotes(item.value(QLatin1String("notes")).toString());
        if (const std::optional<QString> error = entry.finishInto(result)) {
            return ForeignReadResult::failure(name(), *error);
        }
    }
    return result;
}
