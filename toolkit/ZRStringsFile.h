#pragma once

#include "ZRKitGlobal.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <optional>

// Reads a strings table such as a bundle's localized InfoPlist.strings. Two forms are accepted:
// - a property list (XML or binary) whose root is a dictionary;
// - the old text form of "key" = "value"; pairs, with /* */ and // comments, C escapes
//   (\n \t \" \\ \Uxxxx and octal), unquoted keys and values of letters, digits and _$+/:.-, a lone
//   "key"; standing for "key" = "key";, and an optional pair of braces around everything.
// Text is UTF-16 (with or without a byte-order mark) or UTF-8. Values are always strings there.
namespace ZRStringsFile {

// Largest table read; real ones are a few kilobytes.
inline constexpr qint64 MaximumSize = 4 * 1024 * 1024;

// Answers std::nullopt and fills `error` for anything that is not a strings table.
ZRKIT_EXPORT std::optional<QVariantMap> fromData(const QByteArray& data, QString* error = nullptr);

ZRKIT_EXPORT std::optional<QVariantMap> fromFile(const QString& path, QString* error = nullptr);

} // namespace ZRStringsFile
