#pragma once

#include <QString>
#include <QStringList>

// File sizes and free space as the library maintenance and attachment import measure them.

// The size of the file in bytes; 0 when it cannot be read (missing file, no permission).
quint64 fileSizeAtPath(const QString& path);

// The sum of fileSizeAtPath over the list; 0 for an empty list. Missing files count as 0.
quint64 totalFileSizeForFiles(const QStringList& paths);

// The bytes available to this user on the file system that holds `path`; 0 when that cannot be
// read (for example when nothing exists at the path).
quint64 freeDiskSpaceAtPath(const QString& path);
