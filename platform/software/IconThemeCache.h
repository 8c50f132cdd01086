#pragma once

#include "IconThemeIndex.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// What one icon lookup has learnt of the disk: each theme's index and folders, each icon folder's
// file names. Listing a folder once costs less than asking for every name in it, and a theme with
// a hundred folders would otherwise take thousands of file checks per icon. Not for use from two
// threads at once.
class IconThemeCache
{
public:
    struct Theme
    {
        IconThemeIndex index;
        QStringList roots; // "<base>/<theme>" for each base folder that has the theme, in order
    };

    explicit IconThemeCache(const QStringList& baseFolders);

    // nullopt for a theme that no base folder has with an index.
    const Theme* theme(const QString& name);
    const QSet<QString>& filesIn(const QString& folder);

private:
    QStringList m_baseFolders;
    QHash<QString, std::optional<Theme>> m_themes;
    QHash<QString, QSet<QString>> m_files;
};
