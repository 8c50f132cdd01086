#pragma once

#include <QString>

// AppImages: self-contained programs in one executable file, "Northwind-2.4.1-x86_64.AppImage".
namespace AppImageFile {

// Whether the file is an AppImage: an ELF file with the AppImage mark ("AI" and the type 1 or 2
// at offset 8), or a file whose name ends in ".AppImage" (in any case).
bool isAppImage(const QString& path);

struct NameParts
{
    QString title;
    QString version; // empty when the name carries none
};

// The title and version a bare AppImage's file name gives: "Northwind-2.4.1-x86_64.AppImage"
// gives "Northwind" and "2.4.1"; the architecture and extension are dropped, and the version is
// the part from the first "-" or "_" that is followed by a digit (or "v" and a digit).
NameParts nameParts(const QString& fileName);

// The program an entry's Exec value starts (its first argument, unquoted), when that program is
// an AppImage; empty otherwise.
QString appImageOfExec(const QString& exec);

} // namespace AppImageFile
