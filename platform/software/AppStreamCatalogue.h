#pragma once

#include "AppStreamComponent.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The AppStream components of the metainfo folders ("<data folder>/metainfo" and the legacy
// ".../appdata"), read once on the first lookup: every "*.metainfo.xml" and "*.appdata.xml" file
// directly in each folder. For the same component ID, the earlier folder wins. Files that cannot
// be read (no XML, another root element, too large) are skipped with a log line.
class AppStreamCatalogue
{
public:
    explicit AppStreamCatalogue(const QStringList& metainfoFolders);

    // The component of a desktop-file ID (with or without ".desktop"): the one that names it as a
    // launchable, else the one whose component ID is the desktop-file ID with or without ".desktop".
    std::optional<AppStreamComponent> componentForDesktopId(const QString& desktopId);

    QList<AppStreamComponent> components();

private:
    void load();
    void add(AppStreamComponent component);

    QStringList m_folders;
    bool m_loaded = false;
    QList<AppStreamComponent> m_components;
    QHash<QString, qsizetype> m_byLaunchable; // desktop-file ID without ".desktop"
    QHash<QString, qsizetype> m_byId;
};
