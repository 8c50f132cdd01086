#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// One installed snap.
struct SnapPackage
{
    QString name; // the instance name: "northwind", or "northwind_beta" for a parallel install
    QString version;
    QString publisher; // without the verification mark; empty when snap shows "-"
};

// The installed snaps, from one "snap list" run. A missing snap gives none; lines that do not
// parse are ignored.
namespace SnapPackages {

// By instance name.
QHash<QString, SnapPackage> installed();

// The columns are "Name Version Rev Tracking Publisher Notes", separated by runs of spaces under
// a header line. A verified publisher ends with a check mark ("✓", or "**" without UTF-8), a
// starred one with "✪" or "*".
QHash<QString, SnapPackage> parseList(const QByteArray& output);

} // namespace SnapPackages
