#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// One installed Flatpak application.
struct FlatpakPackage
{
    QString application; // "org.example.Northwind"
    QString version;
    QString origin; // the remote it came from, "flathub"
};

// The installed Flatpak applications, from one "flatpak list --app" run. A missing flatpak gives
// none; lines that do not parse are ignored.
namespace FlatpakPackages {

// By application ID; when an application is installed both for the user and system-wide, the
// first listed wins.
QHash<QString, FlatpakPackage> installed();

QHash<QString, FlatpakPackage> parseList(const QByteArray& output);

} // namespace FlatpakPackages
