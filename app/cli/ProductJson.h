#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class AttachmentEntity;
class JsonTextWriter;
class ProductEntity;
class QDateTime;
class QTextStream;

namespace Persistence {
class EntityDescription;
struct AttributeDescription;
} // namespace Persistence

// The form of a product that every command-line command prints and reads: one JSON object keyed by
// the attribute names of "Product" (uuid included), dates in ISO 8601, the price as a decimal string
// and the notes as text under "commentsString" (rich-text notes of older versions as their plain
// text); "iconFile" is the path of the stored icon image, or null.
namespace ProductJson {

// Includes "attachments": an array of attachmentToJson objects in attachmentsInOrder.
QJsonObject toJson(const ProductEntity* product);
// What toJson reads beyond a product's own row, for prefetching when many products are written.
extern const QStringList PrefetchKeyPaths;
// Writes the product as indented JSON text, the same text as an indented QJsonDocument of toJson.
void writeObject(const ProductEntity* product, QTextStream& out);
// Writes the products as an indented JSON array, one object at a time (the same text as an
// indented QJsonDocument of the whole array, without holding it in memory).
void writeArray(const QList<ProductEntity*>& products, QTextStream& out);
// The same for products handed out batch by batch until `nextBatch` answers none; each batch is
// written before the next one is asked for, so the products of a batch may go with the next call.
void writeBatches(const std::function<QList<ProductEntity*>()>& nextBatch, QTextStream& out);

// The members of a product object of `entity` in key order: stored attributes as stored, the
// licence's calendar dates as days, the notes as text, the icon's path and the attachments.
struct Field
{
    enum class Kind { Attribute, Notes, IconFile, Attachments, CalendarDate };
    QString key;
    Kind kind = Kind::Attribute;
    const Persistence::AttributeDescription* attribute = nullptr;
    std::string quoted; // the key as JSON text, made once
};
std::vector<Field> fieldsOf(const Persistence::EntityDescription* entity);
// Writes the product into `writer`, for callers that put the text together themselves.
void writeObject(const ProductEntity* product, JsonTextWriter& writer);
// Hands JSON text in UTF-8 to the stream (straight to its device when it has one).
void writeText(QTextStream& out, const std::string& text);
// A moment in UTC as ISO 8601 ("2009-03-25T14:30:00Z"), as every date of the form is written.
QString isoDate(const QDateTime& dateTime);
// The same from milliseconds since 1970 into `text` for the years 1000 to 9999, worked out by
// hand (this runs for every date of a list); false for other years.
bool formatIsoDate(qint64 msecs, char (&text)[20]);

// An attached file: "name", "date", "uuid" (the name of its stored file) and "kind" ("email" or "file").
QJsonObject attachmentToJson(const AttachmentEntity* attachment);
// The product's attachments by name, then date.
QList<AttachmentEntity*> attachmentsInOrder(const ProductEntity* product);

// Converts typed text into the value stored for `key` ("" clears the field). Dates may be written in
// ISO 8601 or in the usual written forms ("March 25, 2009", "25 Mar 2009 14:30"). Answers nothing and
// fills `error` when the key is unknown or the text does not fit its type.
std::optional<QVariant> valueForKey(const ProductEntity* product, const QString& key, const QString& text,
                                    QString* error);

// Stores a value produced by valueForKey.
bool setValueForKey(ProductEntity* product, const QString& key, const QVariant& value);

} // namespace ProductJson
