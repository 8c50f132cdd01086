#pragma once

#include "AppStreamComponent.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads AppStream metainfo (also the legacy appdata files): one <component> (or legacy
// <application>) element with its id, name, summary, developer, URLs, launchables and releases.
// Values with an xml:lang attribute are translations and give way to untranslated ones; a
// translation is used only when no untranslated value exists. The maintainers' <update_contact> is
// not public and is never read. External entities are not fetched.
namespace AppStreamReader {

// Larger files are refused; real ones are a few kilobytes, long release notes a few hundred.
inline constexpr qint64 MaximumSize = 4 * 1024 * 1024;

// nullopt with an error text when the data is no XML, has another root element or is too large.
std::optional<AppStreamComponent> read(const QByteArray& data, QString* error);
std::optional<AppStreamComponent> readFile(const QString& path, QString* error);

// The address of a contact URL: "mailto:a@b.example?subject=x" and "a@b.example" give
// "a@b.example"; web addresses and anything else give an empty text.
QString emailAddress(const QString& url);

} // namespace AppStreamReader
