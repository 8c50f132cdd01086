#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// One installed Debian package as dpkg describes it.
struct DebianPackage
{
    QString name; // without an architecture ("libfoo", not "libfoo:amd64")
    QString version; // as dpkg has it, with epoch and revision: "2:1.4.2-3"
    QString homepage;
    QString maintainer; // "Name <address>"
};

// Questions to dpkg through dpkg-query, many at a time: a few runs answer for thousands of files
// or packages. A missing dpkg-query gives empty answers (with one log line); output lines that do
// not parse are ignored.
namespace DebianPackages {

// Paths or package names given to one dpkg-query run, well below the limits of a command line.
inline constexpr int ArgumentsPerRun = 400;

// The package that owns each file, by path (the first when several share one); files no package
// owns are left out.
QHash<QString, QString> owners(const QStringList& paths);

// The installed packages of these names (with or without an architecture), by name without one.
QHash<QString, DebianPackage> packages(const QStringList& names);

// The organisation of a maintainer field ("Northwind Software <support@northwind.example>" gives
// "Northwind Software"); empty for a distribution's own maintainers, who package others' programs.
QString maintainerOrganisation(const QString& maintainer);

// The parsers of dpkg-query's output, on their own for tests.
QHash<QString, QString> parseSearchOutput(const QByteArray& output);
QHash<QString, DebianPackage> parseShowOutput(const QByteArray& output);

} // namespace DebianPackages
