#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <optional>

// Reads and writes property lists (XML or binary) as Qt values.
//
// Mapping: dict <-> QVariantMap, array <-> QVariantList, string <-> QString, boolean <-> bool,
// integer <-> qint64, real <-> double, date <-> QDateTime (UTC),
// data <-> QByteArray. A null QVariant inside a collection is written as an empty string, since property
// lists have no null value.
namespace PropertyList {

enum class Format { Xml, Binary };

// Largest property list we read: bundle Info.plist files and exports are far smaller.
inline constexpr qint64 MaximumSize = 64 * 1024 * 1024;

// Deepest nesting of collections we read; real property lists stay within a few levels.
inline constexpr int MaximumDepth = 512;

// Property lists count dates in seconds from 2001-01-01 00:00:00 UTC; this is that moment in Unix time.
inline constexpr qint64 ReferenceDateSeconds = 978307200;

// Parses XML or binary property-list bytes. Answers std::nullopt (and fills `error`) for anything
// that is not a well-formed property list: damaged data is refused, never trusted (see the readers).
std::optional<QVariant> fromData(const QByteArray& data, QString* error = nullptr);

// Reads a property-list file of at most MaximumSize bytes.
std::optional<QVariant> fromFile(const QString& path, QString* error = nullptr);

// Serialises a value. Answers an empty array for values that cannot be expressed.
QByteArray toData(const QVariant& value, Format format = Format::Xml);

// Writes a property-list file atomically.
bool toFile(const QVariant& value, const QString& path, Format format = Format::Xml, QString* error = nullptr);

} // namespace PropertyList
