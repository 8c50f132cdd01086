#pragma once

#include "InstalledApplication.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Puts together what the desktop entries, the AppStream metainfo, the icon theme and the package
// managers (dpkg, Flatpak, Snap; their tools are run from PATH without a shell, a few runs per
// scan, never one per application) say of the installed applications. A missing tool or one that
// prints garbage leaves the facts it would have given empty.
class InstalledSoftwareScanner
{
public:
    struct Folders
    {
        QStringList applications; // DesktopApplicationIndex::standardFolders()
        QStringList metainfo; // "<each XDG data folder>/metainfo" and ".../appdata"
        QStringList iconBases; // IconThemeLookup::standardBaseFolders()
        QStringList pixmaps; // "/usr/share/pixmaps"
        QStringList
            appImages; // folders searched for bare AppImage files: "~/Applications", "~/.local/bin", "~/AppImages"
        QString iconTheme; // IconThemeLookup::currentThemeName()
    };
    static Folders standardFolders();

    explicit InstalledSoftwareScanner(Folders folders = standardFolders());

    // Every installed application of the desktop entries (hidden ones left out, NoDisplay ones
    // kept and marked) and the bare AppImages of the AppImage folders, in the order of their IDs.
    QList<InstalledApplication> scan();

    // One application: a desktop file path, an AppImage path or a desktop-file ID (with or without
    // ".desktop"). nullopt when it names nothing readable.
    std::optional<InstalledApplication> application(const QString& pathOrId);

    // Whether the path is an AppImage: an executable ELF file with the AppImage mark, or a name
    // ending in ".AppImage".
    static bool isAppImage(const QString& path);

private:
    Folders m_folders;
};
