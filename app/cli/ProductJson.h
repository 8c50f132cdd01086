#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

class AttachmentEntity;
class ProductEntity;

// The form of a product that every command-line command prints and reads: one JSON object keyed by
// the attribute names of "Product" (uuid included), dates in ISO 8601, the price as a decimal string
// and the notes as text under "commentsString" (rich-text notes of older versions as their plain
// text); "iconFile" is the path of the stored icon image, or null.
namespace ProductJson {

// Includes "attachments": an array of attachmentToJson objects in attachmentsInOrder.
QJsonObject toJson(const ProductEntity* product);

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
