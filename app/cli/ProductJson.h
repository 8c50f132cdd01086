#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class AttachmentEntity;
class ProductEntity;
class QTextStream;

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
