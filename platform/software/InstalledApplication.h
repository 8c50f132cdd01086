#pragma once

#include <QString>

// Where an installed application came from.
enum class SoftwareSource { Deb, Flatpak, Snap, AppImage, Bundle, Local };

// "deb", "flatpak", "snap", "appimage", "bundle", "local".
QString softwareSourceName(SoftwareSource source);

// An installed application with what is known of it from its desktop entry, its AppStream
// metainfo and its package manager. Each text is empty when nothing says.
struct InstalledApplication
{
    QString id; // desktop-file ID without ".desktop"; for a bare AppImage or bundle, its file name without extension
    QString path; // the desktop file, AppImage or bundle folder
    QString title;
    QString version; // the package's upstream version, else X-AppImage-Version, else the newest AppStream release
    QString publisher; // AppStream developer name, else the package's maintainer organisation when known
    QString website; // AppStream homepage, else the package's Homepage
    QString email; // AppStream contact or help e-mail address
    QString summary; // AppStream summary, else the entry's Comment
    QString iconPath; // the resolved icon file; empty when none was found
    QString exec; // the entry's Exec (empty for bundles)
    SoftwareSource source = SoftwareSource::Local;
    bool noDisplay = false;
};
