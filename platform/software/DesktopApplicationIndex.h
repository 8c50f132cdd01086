#pragma once

#include "DesktopApplication.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// The applications of the desktop entries in the "applications" folders of the XDG data folders,
// by desktop-file ID. A folder earlier in the list wins over later ones for the same ID; an entry
// with "Hidden=true" hides that ID altogether. Entries that are not Type=Application, cannot be
// read or have no Name are skipped (with a log line for the unreadable ones).
//
// The folders are scanned on the first lookup and the result is kept for the index's lifetime.
class DesktopApplicationIndex
{
public:
    // "$XDG_DATA_HOME/applications", then "<each of $XDG_DATA_DIRS>/applications", then the Flatpak
    // (user, then system) and Snap export folders when the variables do not already name them.
    static QStringList standardFolders();

    explicit DesktopApplicationIndex(const QStringList& applicationFolders = standardFolders());

    // Every application found, in the order of their IDs; hidden ones are left out, NoDisplay ones
    // are kept (the caller decides).
    QList<DesktopApplication> applications();

    // The application of a desktop-file ID, given with or without ".desktop".
    std::optional<DesktopApplication> applicationForId(const QString& id);

    // The first application (in ID order) whose Name, localized or untranslated, equals the name
    // ignoring case.
    std::optional<DesktopApplication> applicationForName(const QString& name);

    // One desktop file read on its own. Its ID comes from its place below one of the folders given
    // (or below any folder named "applications"), else from its file name. nullopt when the file
    // is no readable desktop entry of Type=Application.
    static std::optional<DesktopApplication> readFile(const QString& path,
                                                      const QStringList& applicationFolders = standardFolders());

private:
    void scanOnce();

    QStringList m_folders;
    bool m_scanned = false;
    QMap<QString, DesktopApplication> m_applications; // by ID
};
