#pragma once

#include <QJsonObject>
#include <QString>
#include <QVariant>

#include <optional>

class ProductEntity;

// The form of a product that every command-line command prints and reads: one JSON object keyed by
// the attribute names of "Product" (uuid included), dates in ISO 8601, the price as a decimal string
// and the notes as text under "commentsString".
namespace ProductJson {

QJsonObject toJson(const ProductEntity* product);

// Converts typed text into the value stored for `key` ("" clears the field). Answers nothing and
// fills `error` when the key is unknown or the text does not fit its type.
std::optional<QVariant> valueForKey(const ProductEntity* product, const QString& key, const QString& text,
                                    QString* error);

// Stores a value produced by valueForKey.
bool setValueForKey(ProductEntity* product, const QString& key, const QVariant& value);

} // namespace ProductJson
