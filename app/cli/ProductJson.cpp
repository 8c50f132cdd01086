#include "ProductJson.h"

#include "JsonTextWriter.h"
#include "model/AttachedEmail.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "persistence/Decimal.h"
#include "persistence/EntityDescription.h"
#include "text/DateParser.h"

#include <QDateTime>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonValue>
#include <QTextStream>

#include <algorithm>
#include <numeric>

using namespace Persistence;

namespace {

const QString CommentsKey = QStringLiteral("comments");
const QString CommentsStringKey = QStringLiteral("commentsString");

// The UTC time in ISO 8601 ("2009-03-25T14:30:00Z"), written by hand for the usual years: this runs
// for every product of a list.
QString isoDate(const QDateTime& dateTime)
{
    const QDateTime utc = dateTime.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    if (!date.isValid() || !time.isValid() || date.year() < 1000 || date.year() > 9999) {
        return utc.toString(Qt::ISODate);
    }
    char text[] = "0000-00-00T00:00:00Z";
    const auto put = [&text](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10) {
            text[at + i] = char('0' + value % 10);
        }
    };
    put(0, date.year(), 4);
    put(5, date.month(), 2);
    put(8, date.day(), 2);
    put(11, time.hour(), 2);
    put(14, time.minute(), 2);
    put(17, time.second(), 2);
    return QString::fromLatin1(text, sizeof(text) - 1);
}

JsonTextWriter::Value jsonValue(const QVariant& value, AttributeType type)
{
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    switch (type) {
    case AttributeType::Date:
        return isoDate(value.toDateTime());
    case AttributeType::Decimal:
        return value.value<Decimal>().toString();
    case AttributeType::Boolean:
        return value.toBool();
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64:
        return qint64(value.toLongLong());
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

// UTF-8 text straight to the stream's device when it has one (no round trip through UTF-16).
void writeUtf8(QTextStream& out, const std::string& text)
{
    if (QIODevice* device = out.device()) {
        out.flush();
        device->write(text.data(), qint64(text.size()));
    } else {
        out << QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
}

} // namespace

namespace ProductJson {

std::vector<JsonTextWriter::Member> members(const ProductEntity* product)
{
    std::vector<JsonTextWriter::Member> members;
    members.reserve(product->entity()->attributes().size() + 2);
    for (const AttributeDescription& attribute : product->entity()->attributes()) {
        if (attribute.name == CommentsKey) {
            const QString notes = product->commentsString();
            members.emplace_back(CommentsStringKey,
                                 notes.isNull() ? JsonTextWriter::Value() : JsonTextWriter::Value(notes));
            continue;
        }
        // A stored attribute: its value as stored (the entity's value() adds only derived keys).
        members.emplace_back(attribute.name, jsonValue(product->primitiveValue(attribute.name), attribute.type));
    }
    const IconEntity* icon = product->appIcon();
    const QString iconPath = icon ? icon->filePath() : QString();
    members.emplace_back(QStringLiteral("iconFile"),
                         iconPath.isEmpty() ? JsonTextWriter::Value() : JsonTextWriter::Value(iconPath));
    QJsonArray attachments;
    for (const AttachmentEntity* attachment : attachmentsInOrder(product)) {
        attachments.append(attachmentToJson(attachment));
    }
    members.emplace_back(QStringLiteral("attachments"), QJsonValue(attachments));
    return members;
}

QJsonObject toJson(const ProductEntity* product)
{
    QJsonObject object;
    for (const auto& [key, value] : members(product)) {
        object.insert(key, JsonTextWriter::toJsonValue(value));
    }
    return object;
}

const QStringList PrefetchKeyPaths {QStringLiteral("attachedFiles.content"), QStringLiteral("appIcon"),
                                    QStringLiteral("comments")};

void writeArray(const QList<ProductEntity*>& products, QTextStream& out)
{
    // The members come in the same order for every product of an entity: sorted once.
    const Persistence::EntityDescription* orderedFor = nullptr;
    std::vector<size_t> order;
    std::vector<JsonTextWriter::Member> sorted;
    JsonTextWriter writer;
    writer.appendText("[\n");
    for (qsizetype i = 0; i < products.size(); ++i) {
        std::vector<JsonTextWriter::Member> unsorted = members(products[i]);
        if (orderedFor != products[i]->entity() || order.size() != unsorted.size()) {
            orderedFor = products[i]->entity();
            order.resize(unsorted.size());
            std::iota(order.begin(), order.end(), 0);
            std::sort(order.begin(), order.end(),
                      [&](size_t a, size_t b) { return unsorted[a].first < unsorted[b].first; });
        }
        sorted.clear();
        for (const size_t index : order) {
            sorted.push_back(std::move(unsorted[index]));
        }
        writer.appendText("    ");
        writer.appendObject(sorted, 1);
        writer.appendText(i + 1 < products.size() ? ",\n" : "\n");
        if (writer.text().size() > (1 << 16)) {
            writeUtf8(out, writer.text());
            writer.clear();
        }
    }
    writer.appendText("]\n");
    writeUtf8(out, writer.text());
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
    object.insert(QStringLiteral("date"),
                  JsonTextWriter::toJsonValue(jsonValue(attachment->date(), AttributeType::Date)));
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
