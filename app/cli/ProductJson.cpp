#include "ProductJson.h"

#include "model/AttachedEmail.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "persistence/Decimal.h"
#include "persistence/EntityDescription.h"
#include "text/DateParser.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonValue>

using namespace Persistence;

namespace {

const QString CommentsKey = QStringLiteral("comments");
const QString CommentsStringKey = QStringLiteral("commentsString");

QJsonValue jsonValue(const QVariant& value, AttributeType type)
{
    if (!value.isValid() || value.isNull()) {
        return QJsonValue::Null;
    }
    switch (type) {
    case AttributeType::Date:
        return value.toDateTime().toUTC().toString(Qt::ISODate);
    case AttributeType::Decimal:
        return value.value<Decimal>().toString();
    case AttributeType::Boolean:
        return value.toBool();
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64:
        return value.toLongLong();
    case AttributeType::Double:
        return value.toDouble();
    case AttributeType::Binary:
        return QString::fromLatin1(value.toByteArray().toBase64());
    case AttributeType::String:
        break;
    }
    return value.toString();
}

// ISO 8601 as written, else any written form the product record's date reader accepts
// ("March 3, 2009", "3 Mar 2009 10:20", "03/04/2009" in the locale's order ...).
std::optional<QDateTime> parseDate(const QString& text)
{
    const QDateTime iso = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (iso.isValid()) {
        return iso;
    }
    return DateParser().parse(text);
}

} // namespace

namespace ProductJson {

QJsonObject toJson(const ProductEntity* product)
{
    QJsonObject object;
    for (const AttributeDescription& attribute : product->entity()->attributes()) {
        if (attribute.name == CommentsKey) {
            const QString notes = product->commentsString();
            object.insert(CommentsStringKey, notes.isNull() ? QJsonValue::Null : QJsonValue(notes));
            continue;
        }
        object.insert(attribute.name, jsonValue(product->value(attribute.name), attribute.type));
    }
    const IconEntity* icon = product->appIcon();
    const QString iconPath = icon ? icon->filePath() : QString();
    object.insert(QStringLiteral("iconFile"), iconPath.isEmpty() ? QJsonValue::Null : QJsonValue(iconPath));
    QJsonArray attachments;
    for (const AttachmentEntity* attachment : attachmentsInOrder(product)) {
        attachments.append(attachmentToJson(attachment));
    }
    object.insert(QStringLiteral("attachments"), attachments);
    return object;
}

QList<AttachmentEntity*> attachmentsInOrder(const ProductEntity* product)
{
    QList<AttachmentEntity*> attachments = product->attachedFiles();
    std::stable_sort(attachments.begin(), attachments.end(), [](const AttachmentEntity* a, const AttachmentEntity* b) {
        const int byName = a->name().localeAwareCompare(b->name());
        return byName != 0 ? byName < 0 : a->date() < b->date();
    });
    return attachments;
}

QJsonObject attachmentToJson(const AttachmentEntity* attachment)
{
    QJsonObject object;
    object.insert(QStringLiteral("name"), attachment->name());
    object.insert(QStringLiteral("date"), jsonValue(attachment->date(), AttributeType::Date));
    const ZRAttachmentContent* content = attachment->content();
    object.insert(QStringLiteral("uuid"), content ? QJsonValue(content->uuid()) : QJsonValue::Null);
    object.insert(QStringLiteral("kind"),
                  attachment->isEmail() && dynamic_cast<const AttachedEmail*>(attachment) ? QStringLiteral("email")
                                                                                          : QStringLiteral("file"));
    return object;
}

std::optional<QVariant> valueForKey(const ProductEntity* product, const QString& key, const QString& text,
                                    QString* error)
{
    const auto fail = [error](const QString& message) -> std::optional<QVariant> {
        *error = message;
        return std::nullopt;
    };
    if (key == CommentsStringKey) {
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    const AttributeDescription* attribute = product->entity()->attribute(key);
    if (!attribute || attribute->name == CommentsKey) {
        return fail(QStringLiteral("\"%1\" is not a product field.").arg(key));
    }
    if (text.isEmpty()) {
        return QVariant();
    }
    bool ok = true;
    switch (attribute->type) {
    case AttributeType::String:
        return QVariant(text);
    case AttributeType::Date:
        if (const auto date = parseDate(text)) {
            return QVariant(*date);
        }
        return fail(
            QStringLiteral("\"%1\" is not a date (for example 2009-03-25, 2009-03-25T14:30:00 or March 25, 2009).")
                .arg(text));
    case AttributeType::Decimal:
        if (const auto number = Decimal::fromString(text.trimmed())) {
            return QVariant::fromValue(*number);
        }
        return fail(QStringLiteral("\"%1\" is not a price (use the form 29.95).").arg(text));
    case AttributeType::Boolean: {
        const QString lower = text.toLower();
        if (lower == QLatin1String("true") || lower == QLatin1String("yes") || lower == QLatin1String("1")) {
            return QVariant(true);
        }
        if (lower == QLatin1String("false") || lower == QLatin1String("no") || lower == QLatin1String("0")) {
            return QVariant(false);
        }
        return fail(QStringLiteral("\"%1\" is not true or false.").arg(text));
    }
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64: {
        const qlonglong number = text.toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant(number))
                  : fail(QStringLiteral("\"%1\" is not a whole number.").arg(text));
    }
    case AttributeType::Double: {
        const double number = text.toDouble(&ok);
        return ok ? std::optional<QVariant>(QVariant(number))
                  : fail(QStringLiteral("\"%1\" is not a number.").arg(text));
    }
    case AttributeType::Binary:
        break;
    }
    return fail(QStringLiteral("\"%1\" cannot be set from the command line.").arg(key));
}

bool setValueForKey(ProductEntity* product, const QString& key, const QVariant& value)
{
    if (key == CommentsStringKey) {
        return product->setCommentsString(value.toString());
    }
    return product->setValue(key, value);
}

} // namespace ProductJson
