#pragma once

#include <QString>
#include <QStringList>

// Desktop entry files (".desktop") of installed programs, found by their desktop file ID in the
// "applications" folders of the XDG data folders.
namespace DesktopEntry {

// Largest desktop file read; real ones are a few kilobytes.
inline constexpr qint64 MaximumSize = 1024 * 1024;

// "<XDG_DATA_HOME>/applications", then "<each of XDG_DATA_DIRS>/applications".
QStringList standardApplicationFolders();

// Whether an ID names a desktop file and nothing else: "name.desktop" without "/", "..", or
// control characters.
bool isValidId(const QString& id);

// The file of a desktop file ID. Sub-folders show in IDs as dashes ("kde-mail.desktop" may be
// "kde/mail.desktop"). Empty when no folder has it.
QString pathForId(const QString& id, const QStringList& applicationFolders);

// The untranslated "Name" of the "[Desktop Entry]" group; empty when the file or key is missing.
QString name(const QString& path);

} // namespace DesktopEntry
