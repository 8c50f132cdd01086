#include "ProductJson.h"

#include "JsonTextWriter.h"
#include "base/LibraryPaths.h"
#include "model/AttachedEmail.h"
#include "model/IconEntity.h"
#include "model/LicenceFieldText.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "persistence/Decimal.h"
#include "persistence/EntityDescription.h"
#include "text/DateParser.h"

#include <QDateTime>
#include <QDir>
#include <QIODevice>
#include <QJsonDocument>
#include <QTextStream>

#include <algorithm>
#include <cstring>

using namespace Persistence;

namespace {

const QString CommentsKey = QStringLiteral("comments");
const QString CommentsStringKey = QStringLiteral("commentsString");

// One stored value as the product form shows it.
void writeValue(JsonTextWriter& writer, const QVariant& value, AttributeType type)
{
    if (!value.isValid() || value.isNull()) {
        writer.null();
        return;
    }
    switch (type) {
    case AttributeType::Date:
        writer.string(ProductJson::isoDate(value.toDateTime()));
        return;
    case AttributeType::Decimal:
        writer.string(value.value<Decimal>().toString());
        return;
    case AttributeType::Boolean:
        writer.boolean(value.toBool());
        return;
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64:
        writer.number(double(value.toLongLong()));
        return;
    case AttributeType::Double:
        writer.number(value.toDouble());
        return;
    case AttributeType::Binary:
        writer.string(QString::fromLatin1(value.toByteArray().toBase64()));
        return;
    case AttributeType::String:
        break;
    }
    writer.string(value.toString());
}

void writeTextOrNull(JsonTextWriter& writer, const QString& text, bool emptyIsNull)
{
    if (text.isNull() || (emptyIsNull && text.isEmpty())) {
        writer.null();
    } else {
        writer.string(text);
    }
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

using ProductJson::Field;

// The keys of an attached file's object as JSON text.
const std::string DateName = JsonTextWriter::quotedName(u"date");
const std::string KindName = JsonTextWriter::quotedName(u"kind");
const std::string NameName = JsonTextWriter::quotedName(u"name");
const std::string UuidName = JsonTextWriter::quotedName(u"uuid");

// Writes products and attached files as objects of the product form into a JsonTextWriter, the
// order of the keys and the icons folder looked up once for all of them.
class ProductWriter
{
public:
    explicit ProductWriter(JsonTextWriter& writer)
        : m_writer(writer)
    { }

    void write(const ProductEntity* product);
    void writeAttachment(const AttachmentEntity* attachment);

private:
    const std::vector<Field>& fieldsFor(const EntityDescription* entity);
    QString iconPath(const IconEntity* icon);

    JsonTextWriter& m_writer;
    const EntityDescription* m_entity = nullptr;
    std::vector<Field> m_fields;
    std::optional<QString> m_iconsFolder;
};

const std::vector<Field>& ProductWriter::fieldsFor(const EntityDescription* entity)
{
    if (entity != m_entity) {
        m_entity = entity;
        m_fields = ProductJson::fieldsOf(entity);
    }
    return m_fields;
}

QString ProductWriter::iconPath(const IconEntity* icon)
{
    // The folder is looked up (and made when missing) once, not for every icon.
    if (!m_iconsFolder) {
        m_iconsFolder = LibraryPaths::iconsPath();
    }
    const QString uuid = icon->uuid();
    if (m_iconsFolder->isEmpty() || !ZRExternalFile::isSafeFileName(uuid)) {
        return icon->filePath(); // empty, with a log line saying what is missing
    }
    return QDir(*m_iconsFolder).filePath(uuid);
}

void ProductWriter::write(const ProductEntity* product)
{
    m_writer.beginObject();
    for (const Field& field : fieldsFor(product->entity())) {
        m_writer.encodedName(field.quoted);
        switch (field.kind) {
        case Field::Kind::Attribute:
            // A stored attribute: its value as stored (the entity's value() adds only derived keys).
            writeValue(m_writer, product->primitiveValue(field.attribute->index), field.attribute->type);
            break;
        case Field::Kind::CalendarDate:
            // The licence's dates are days, not moments: "2027-01-15".
            writeTextOrNull(m_writer, LicenceFieldText::text(*product, field.key), true);
            break;
        case Field::Kind::Notes:
            writeTextOrNull(m_writer, product->commentsString(), false);
            break;
        case Field::Kind::IconFile: {
            const IconEntity* icon = product->appIcon();
            writeTextOrNull(m_writer, icon ? iconPath(icon) : QString(), true);
            break;
        }
        case Field::Kind::Attachments:
            m_writer.beginArray();
            for (const AttachmentEntity* attachment : ProductJson::attachmentsInOrder(product)) {
                m_writer.item();
                writeAttachment(attachment);
            }
            m_writer.end();
            break;
        }
    }
    m_writer.end();
}

void ProductWriter::writeAttachment(const AttachmentEntity* attachment)
{
    m_writer.beginObject();
    m_writer.encodedName(DateName);
    writeValue(m_writer, attachment->date(), AttributeType::Date);
    m_writer.encodedName(KindName);
    // The record's class first: it answers at once, while the name test reads the extension.
    m_writer.string(dynamic_cast<const AttachedEmail*>(attachment) && attachment->isEmail() ? u"email" : u"file");
    m_writer.encodedName(NameName);
    m_writer.string(attachment->name());
    m_writer.encodedName(UuidName);
    const ZRAttachmentContent* content = attachment->content();
    if (content) {
        m_writer.string(content->uuid());
    } else {
        m_writer.null();
    }
    m_writer.end();
}

QJsonObject parsedObject(const JsonTextWriter& writer)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(writer.text())).object();
}

} // namespace

namespace ProductJson {

bool formatIsoDate(qint64 msecs, char (&text)[20])
{
    constexpr qint64 MsPerDay = 86400000;
    const qint64 days = msecs >= 0 ? msecs / MsPerDay : -((-msecs + MsPerDay - 1) / MsPerDay);
    const qint64 secondOfDay = (msecs - days * MsPerDay) / 1000;
    // Days since 1970-01-01 to the civil date (proleptic Gregorian, eras of 400 years).
    const qint64 shifted = days + 719468;
    const qint64 era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const qint64 dayOfEra = shifted - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const qint64 year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 1000 || year > 9999) {
        return false;
    }
    const auto put = [&text](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10) {
            text[at + i] = char('0' + value % 10);
        }
    };
    std::memcpy(text, "0000-00-00T00:00:00Z", 20);
    put(0, int(year), 4);
    put(5, month, 2);
    put(8, day, 2);
    put(11, int(secondOfDay / 3600), 2);
    put(14, int(secondOfDay / 60 % 60), 2);
    put(17, int(secondOfDay % 60), 2);
    return true;
}

QString isoDate(const QDateTime& dateTime)
{
    char text[20];
    if (dateTime.isValid() && formatIsoDate(dateTime.toMSecsSinceEpoch(), text)) {
        return QString::fromLatin1(text, sizeof(text));
    }
    return dateTime.toUTC().toString(Qt::ISODate);
}

std::vector<Field> fieldsOf(const EntityDescription* entity)
{
    std::vector<Field> fields;
    for (const AttributeDescription& attribute : entity->attributes()) {
        if (attribute.name == CommentsKey) {
            fields.push_back({CommentsStringKey, Field::Kind::Notes, nullptr, {}});
        } else if (LicenceFieldText::isCalendarDate(attribute.name)) {
            fields.push_back({attribute.name, Field::Kind::CalendarDate, &attribute, {}});
        } else {
            fields.push_back({attribute.name, Field::Kind::Attribute, &attribute, {}});
        }
    }
    fields.push_back({QStringLiteral("iconFile"), Field::Kind::IconFile, nullptr, {}});
    fields.push_back({QStringLiteral("attachments"), Field::Kind::Attachments, nullptr, {}});
    std::sort(fields.begin(), fields.end(), [](const Field& a, const Field& b) { return a.key < b.key; });
    for (Field& field : fields) {
        field.quoted = JsonTextWriter::quotedName(field.key);
    }
    return fields;
}

void writeText(QTextStream& out, const std::string& text)
{
    writeUtf8(out, text);
}

void writeObject(const ProductEntity* product, JsonTextWriter& writer)
{
    ProductWriter(writer).write(product);
}

QJsonObject toJson(const ProductEntity* product)
{
    JsonTextWriter writer;
    ProductWriter(writer).write(product);
    return parsedObject(writer);
}

const QStringList PrefetchKeyPaths {QStringLiteral("attachedFiles.content"), QStringLiteral("appIcon"),
                                    QStringLiteral("comments")};

void writeObject(const ProductEntity* product, QTextStream& out)
{
    JsonTextWriter writer;
    ProductWriter(writer).write(product);
    writer.appendText("\n");
    writeUtf8(out, writer.text());
}

void writeBatches(const std::function<QList<ProductEntity*>()>& nextBatch, QTextStream& out)
{
    JsonTextWriter writer;
    ProductWriter products(writer);
    writer.beginArray();
    for (QList<ProductEntity*> batch = nextBatch(); !batch.isEmpty(); batch = nextBatch()) {
        for (const ProductEntity* product : std::as_const(batch)) {
            writer.item();
            products.write(product);
            if (writer.text().size() > (1 << 16)) {
                writeUtf8(out, writer.text());
                writer.clear();
            }
        }
    }
    writer.end();
    writer.appendText("\n");
    writeUtf8(out, writer.text());
}

void writeArray(const QList<ProductEntity*>& products, QTextStream& out)
{
    bool given = false;
    writeBatches(
        [&]() {
            const bool first = !given;
            given = true;
            return first ? products : QList<ProductEntity*>();
        },
        out);
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
    JsonTextWriter writer;
    ProductWriter(writer).writeAttachment(attachment);
    return parsedObject(writer);
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
