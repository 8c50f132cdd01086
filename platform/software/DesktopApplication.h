#pragma once

#include <QString>

// One application as its desktop entry (a ".desktop" file of Type=Application) describes it.
struct DesktopApplication
{
    // The desktop-file ID without ".desktop": the path below an "applications" folder with "/"
    // turned into "-" ("kde/mail.desktop" gives "kde-mail").
    QString id;
    QString path; // the desktop file
    QString name; // "Name" in the current locale, else the untranslated one
    QString untranslatedName; // "Name"
    QString comment; // "Comment" in the current locale
    QString icon; // "Icon" as written: a theme icon name or an absolute path
    QString exec; // "Exec" as written (still escaped for quoting, field codes in place)
    QString tryExec; // "TryExec"
    QString workingFolder; // "Path"
    bool noDisplay = false; // "NoDisplay=true": installed, but not to be shown in menus
    bool hidden = false; // "Hidden=true": deleted; hides the same ID in later folders
    QString flatpakId; // "X-Flatpak"
    QString snapInstance; // "X-SnapInstanceName"
    QString appImageVersion; // "X-AppImage-Version"
};
