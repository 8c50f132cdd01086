#pragma once

#include "EntityDescription.h"

#include <QVariant>

#include <optional>

namespace Persistence {

// Values of attributes are kept in one canonical form per type: QString, qint64 (all integer sizes),
// Decimal, double, bool, QDateTime in UTC with millisecond precision, QByteArray. A null QVariant
// is "no value" and legal for every attribute.
namespace AttributeValue {

// The canonical form of `value` for an attribute of `type`, or nothing when the value does not fit
// (a string for a number, 70000 for a 16-bit integer, an invalid date).
std::optional<QVariant> coerce(AttributeType type, const QVariant& value);

// Orders two canonical values: numbers numerically across integer, double and decimal, strings by
// UTF-16 code units (case-folded first when `caseInsensitive`), dates by instant, null before all.
// `comparable` is set false for values of unrelated kinds (a string and a number).
int compare(const QVariant& a, const QVariant& b, bool caseInsensitive = false, bool* comparable = nullptr);

} // namespace AttributeValue
} // namespace Persistence
