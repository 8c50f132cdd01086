#pragma once

#include "ZRKitGlobal.h"

#include <QString>

// Operations on file-system paths held as text.

// The path itself if nothing exists there; otherwise the first free name formed by inserting a
// space and a counter (1, 2, ... in lower-case hexadecimal) before the extension: "report.txt"
// becomes "report 1.txt" ... "report 9.txt", "report a.txt"; "Backup" becomes "Backup 1". Any
// file-system object takes a name, a folder or a dangling symbolic link too. Nothing is created, so
// the caller must still create the file without replacing one that appeared meanwhile.
ZRKIT_EXPORT QString ZR_safeFilePath(const QString& receiver);

// A POSIX path in the colon-separated classic form, volume name first: the volume is the file
// system holding the path (its label, else the last component of its mount point, else its device
// name), then every component below the mount point, joined by ":". A ":" inside a name becomes
// "/", as the classic form requires. The path is taken as a file, so no ":" is added at the end.
// Relative paths are taken from the current folder. An empty path gives an empty result.
ZRKIT_EXPORT QString ZR_hfsStylePath(const QString& receiver);
