#include "ProductRowJson.h"

#include "JsonTextWriter.h"
#include "ProductJson.h"
#include "base/LibraryPaths.h"
#include "model/ProductEntity.h"
#include "persistence/Decimal.h"
#include "persistence/EntityDescription.h"
#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"
#include "text/RtfReader.h"

#include <QDateTime>
#include <QDir>
#include <QHash>

#include <algorithm>
#include <cstring>

using namespace Persistence;
using ProductJson::Field;

namespace {

constexpr qsizetype BatchSize = 2000;

std::string_view view(QByteArrayView bytes)
{
    return {bytes.data(), size_t(bytes.size())};
}

// An attached file of the batch as its row holds it.
struct Attachment
{
    QString name;
    std::optional<qint64> date;
    bool email = false; // an e-mail record, whatever its name
    bool hasContent = false;
    std::string contentUuid;

    QDateTime dateTime() const { return date ? QDateTime::fromMSecsSinceEpoch(*date, Qt::UTC) : QDateTime(); }
};

bool isEmailClass(const EntityDescription* entity)
{
    for (; entity; entity = entity->parent()) {
        if (entity->className() == u"AttachedEmail") {
            return true;
        }
    }
    return false;
}

// One batch: the products' rows written into texts in the order asked for.
class BatchWriter
{
public:
    BatchWriter(ObjectContext* context, const EntityDescription* products)
        : m_context(context)
        , m_entity(products)
        , m_fields(ProductJson::fieldsOf(products))
    {
        for (const Field& field : m_fields) {
            m_columnOf.push_back(int(m_columns.size()));
            switch (field.kind) {
            case Field::Kind::Attribute:
            case Field::Kind::CalendarDate:
                m_columns.append(field.attribute->name);
                break;
            case Field::Kind::Notes:
                m_columns.append(QStringLiteral("comments"));
                break;
            case Field::Kind::IconFile:
                m_columns.append({QStringLiteral("appIcon"), QStringLiteral("appIcon.uuid")});
                break;
            case Field::Kind::Attachments:
                break;
            }
        }
    }

    bool write(const QVector<ObjectID>& ids, std::vector<std::string>* texts, StoreError* error);

private:
    bool readAttachments(const QVector<ObjectID>& ids, StoreError* error);
    bool needsObject(const RowView& row);
    const std::string& iconPrefix();
    void writeRow(const RowView& row, JsonTextWriter& writer);
    void writeAttribute(const RowView& row, int column, const Field& field, JsonTextWriter& writer) const;
    void writeAttachments(qint64 key, JsonTextWriter& writer);
    bool writeFromObjects(const QVector<ObjectID>& ids, std::vector<std::string>* texts, StoreError* error);

    ObjectContext* m_context;
    const EntityDescription* m_entity;
    std::vector<Field> m_fields;
    std::vector<int> m_columnOf; // by field
    QStringList m_columns;
    std::optional<std::string> m_iconPrefix; // looked up (and made) with the first icon
    std::vector<Attachment> m_attachments;
    QHash<qint64, QPair<qsizetype, qsizetype>> m_attachmentsOf; // first and count by product key
};

// The icons folder as the start of each icon's path (".../Icons/"); empty when there is none.
const std::string& BatchWriter::iconPrefix()
{
    if (!m_iconPrefix) {
        const QString folder = LibraryPaths::iconsPath();
        m_iconPrefix
            = folder.isEmpty() ? std::string() : QDir(folder).filePath(QStringLiteral("x")).chopped(1).toStdString();
    }
    return *m_iconPrefix;
}

bool BatchWriter::readAttachments(const QVector<ObjectID>& ids, StoreError* error)
{
    m_attachments.clear();
    m_attachmentsOf.clear();
    const QStringList columns {QStringLiteral("product"), QStringLiteral("name"), QStringLiteral("date"),
                               QStringLiteral("content"), QStringLiteral("content.uuid")};
    return m_context->readRows(
        RowQuery::forOwners(QStringLiteral("AttachedFile"), QStringLiteral("product"), columns, ids),
        [this](const RowView& row) {
            Attachment& attachment = m_attachments.emplace_back();
            attachment.name = QString::fromUtf8(row.utf8(1));
            attachment.date = row.msecs(2);
            attachment.email = isEmailClass(row.entity());
            attachment.hasContent = !row.isNull(3);
            attachment.contentUuid.assign(view(row.utf8(4)));
            auto& [first, count] = m_attachmentsOf[row.int64(0)];
            first = count == 0 ? qsizetype(m_attachments.size()) - 1 : first;
            ++count;
        },
        error);
}

// Products holding what only the model reads are written from their objects.
bool BatchWriter::needsObject(const RowView& row)
{
    if (row.entity() != m_entity) {
        return true;
    }
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const int column = m_columnOf[i];
        if (m_fields[i].kind == Field::Kind::Notes && !row.isNull(column)) {
            const QByteArrayView notes = row.bytes(column);
            const QByteArray bytes = QByteArray::fromRawData(notes.data(), notes.size());
            if (RtfReader::isRichText(bytes) || bytes.startsWith("rtfd") || !JsonTextWriter::isPlainUtf8(view(notes))) {
                return true;
            }
        } else if (m_fields[i].kind == Field::Kind::IconFile && !row.isNull(column)) {
            const QByteArrayView uuid = row.utf8(column + 1);
            if (iconPrefix().empty() || uuid.isEmpty() || uuid == "." || uuid == ".." || uuid.contains('/')
                || uuid.contains('\0') || uuid.startsWith(':')) {
                return true;
            }
        }
    }
    return false;
}

void BatchWriter::writeAttribute(const RowView& row, int column, const Field& field, JsonTextWriter& writer) const
{
    if (row.isNull(column)) {
        writer.null();
        return;
    }
    switch (field.attribute->type) {
    case AttributeType::String:
        writer.utf8String(view(row.utf8(column)));
        return;
    case AttributeType::Date: {
        char text[20];
        if (ProductJson::formatIsoDate(row.int64(column), text)) {
            writer.utf8String(std::string_view(text, sizeof(text)));
        } else {
            writer.string(ProductJson::isoDate(QDateTime::fromMSecsSinceEpoch(row.int64(column), Qt::UTC)));
        }
        return;
    }
    case AttributeType::Decimal: {
        const auto decimal = Decimal::fromString(QString::fromUtf8(row.utf8(column)));
        if (decimal) {
            writer.string(decimal->toString());
        } else {
            writer.null();
        }
        return;
    }
    case AttributeType::Boolean:
        writer.boolean(row.int64(column) != 0);
        return;
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64:
        writer.number(double(row.int64(column)));
        return;
    case AttributeType::Double:
        writer.number(row.real(column));
        return;
    case AttributeType::Binary:
        writer.string(QString::fromLatin1(row.bytes(column).toByteArray().toBase64()));
        return;
    }
}

void BatchWriter::writeAttachments(qint64 key, JsonTextWriter& writer)
{
    static const std::string DateName = JsonTextWriter::quotedName(u"date");
    static const std::string KindName = JsonTextWriter::quotedName(u"kind");
    static const std::string NameName = JsonTextWriter::quotedName(u"name");
    static const std::string UuidName = JsonTextWriter::quotedName(u"uuid");
    const auto [first, count] = m_attachmentsOf.value(key);
    std::vector<const Attachment*> ordered;
    for (qsizetype i = 0; i < count; ++i) {
        ordered.push_back(&m_attachments[size_t(first + i)]);
    }
    // By name as people sort, then by date, as the product form lists them.
    std::stable_sort(ordered.begin(), ordered.end(), [](const Attachment* a, const Attachment* b) {
        const int byName = a->name.localeAwareCompare(b->name);
        return byName != 0 ? byName < 0 : a->dateTime() < b->dateTime();
    });
    writer.beginArray();
    for (const Attachment* attachment : ordered) {
        writer.item();
        writer.beginObject();
        writer.encodedName(DateName);
        char text[20];
        if (attachment->date && ProductJson::formatIsoDate(*attachment->date, text)) {
            writer.utf8String(std::string_view(text, sizeof(text)));
        } else {
            writer.string(ProductJson::isoDate(attachment->dateTime()));
        }
        writer.encodedName(KindName);
        writer.string(attachment->email ? u"email" : u"file");
        writer.encodedName(NameName);
        writer.string(attachment->name);
        writer.encodedName(UuidName);
        if (attachment->hasContent) {
            writer.utf8String(attachment->contentUuid);
        } else {
            writer.null();
        }
        writer.end();
    }
    writer.end();
}

void BatchWriter::writeRow(const RowView& row, JsonTextWriter& writer)
{
    writer.beginObject();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const Field& field = m_fields[i];
        const int column = m_columnOf[i];
        writer.encodedName(field.quoted);
        switch (field.kind) {
        case Field::Kind::Attribute:
            writeAttribute(row, column, field, writer);
            break;
        case Field::Kind::CalendarDate: {
            // The day in UTC, "2027-01-15".
            char text[20];
            if (row.isNull(column)) {
                writer.null();
            } else if (ProductJson::formatIsoDate(row.int64(column), text)) {
                writer.utf8String(std::string_view(text, 10));
            } else {
                const QString day
                    = QDateTime::fromMSecsSinceEpoch(row.int64(column), Qt::UTC).date().toString(Qt::ISODate);
                day.isEmpty() ? writer.null() : writer.string(day);
            }
            break;
        }
        case Field::Kind::Notes:
            if (row.isNull(column)) {
                writer.null();
            } else {
                writer.utf8String(view(row.bytes(column)));
            }
            break;
        case Field::Kind::IconFile:
            if (row.isNull(column)) {
                writer.null();
            } else {
                writer.utf8String(*m_iconPrefix + std::string(view(row.utf8(column + 1))));
            }
            break;
        case Field::Kind::Attachments:
            writeAttachments(row.key(), writer);
            break;
        }
    }
    writer.end();
}

bool BatchWriter::writeFromObjects(const QVector<ObjectID>& ids, std::vector<std::string>* texts, StoreError* error)
{
    ObjectContext context(m_context->coordinator());
    ObjectList objects;
    for (const ObjectID& id : ids) {
        objects.append(context.objectWithID(id));
    }
    if (!context.prefetch(objects, ProductJson::PrefetchKeyPaths, error)) {
        return false;
    }
    texts->assign(size_t(objects.size()), std::string());
    for (qsizetype i = 0; i < objects.size(); ++i) {
        const auto* product = dynamic_cast<const ProductEntity*>(objects[i]);
        if (product && product->isValid()) {
            JsonTextWriter writer(1);
            ProductJson::writeObject(product, writer);
            (*texts)[size_t(i)] = writer.text();
        }
    }
    return true;
}

bool BatchWriter::write(const QVector<ObjectID>& ids, std::vector<std::string>* texts, StoreError* error)
{
    texts->assign(size_t(ids.size()), std::string());
    QHash<qint64, qsizetype> position;
    position.reserve(ids.size());
    for (qsizetype i = 0; i < ids.size(); ++i) {
        position.insert(ids[i].key(), i);
    }
    if (!readAttachments(ids, error)) {
        return false;
    }
    QVector<ObjectID> fromObjects;
    JsonTextWriter writer(1);
    const bool read = m_context->readRows(
        RowQuery::forObjects(m_entity->name(), m_columns, ids),
        [&](const RowView& row) {
            const qsizetype at = position.value(row.key(), -1);
            if (at < 0) {
                return;
            }
            if (needsObject(row)) {
                fromObjects.append(ids[at]);
                return;
            }
            writer.clear();
            writeRow(row, writer);
            (*texts)[size_t(at)] = writer.text();
        },
        error);
    if (!read) {
        return false;
    }
    if (fromObjects.isEmpty()) {
        return true;
    }
    std::vector<std::string> written;
    if (!writeFromObjects(fromObjects, &written, error)) {
        return false;
    }
    for (qsizetype i = 0; i < fromObjects.size(); ++i) {
        (*texts)[size_t(position.value(fromObjects[i].key()))] = std::move(written[size_t(i)]);
    }
    return true;
}

} // namespace

bool ProductRowJson::canWrite(const ObjectContext* context)
{
    // Rows hold what is saved: a context with unsaved changes lists its objects instead.
    return context && context->coordinator() && !context->hasChanges() && context->canReadRows()
        && context->model().entity(QStringLiteral("Product"))
        && context->model().entity(QStringLiteral("AttachedFile"));
}

bool ProductRowJson::writeList(ObjectContext* context, const QVector<ObjectID>& order, QTextStream& out,
                               StoreError* error)
{
    BatchWriter batches(context, context->model().entity(QStringLiteral("Product")));
    JsonTextWriter writer;
    writer.beginArray();
    std::vector<std::string> texts;
    for (qsizetype next = 0; next < order.size(); next += BatchSize) {
        if (!batches.write(order.mid(next, BatchSize), &texts, error)) {
            return false;
        }
        for (const std::string& product : texts) {
            if (product.empty()) {
                continue; // no longer stored
            }
            writer.item();
            writer.appendText(product);
            if (writer.text().size() > (1 << 16)) {
                ProductJson::writeText(out, writer.text());
                writer.clear();
            }
        }
    }
    writer.end();
    writer.appendText("\n");
    ProductJson::writeText(out, writer.text());
    return true;
}
