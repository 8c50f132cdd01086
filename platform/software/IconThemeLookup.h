#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

class IconThemeCache;

// Finds the file of an application's "Icon" value: an absolute path as it is, else the icon name
// in the current icon theme, the themes it inherits and "hicolor", below the "icons" folder of
// each XDG data folder (and "~/.icons"), then in "/usr/share/pixmaps". The largest PNG wins, a
// scalable SVG over any PNG.
class IconThemeLookup
{
public:
    // "$XDG_DATA_HOME/icons", "~/.icons", "<each of $XDG_DATA_DIRS>/icons".
    static QStringList standardBaseFolders();
    // The theme the desktop uses: the GUI's theme when there is one, else the GTK settings'
    // "gtk-icon-theme-name", else "hicolor".
    static QString currentThemeName();

    explicit IconThemeLookup(const QString& themeName = currentThemeName(),
                             const QStringList& baseFolders = standardBaseFolders(),
                             const QStringList& pixmapFolders = {QStringLiteral("/usr/share/pixmaps")});

    // The file for an "Icon" value; empty when none is found.
    QString pathForIcon(const QString& icon) const;

    // The image of an icon file at the size given (SVG rendered at that size); null when the file
    // is no image.
    static QImage imageForFile(const QString& path, int size = 512);

private:
    QString m_themeName;
    QStringList m_baseFolders;
    QStringList m_pixmapFolders;
    // The themes and folder listings read so far, kept for the lookup's lifetime.
    std::shared_ptr<IconThemeCache> m_cache;

    QString findInTheme(const QString& theme, const QString& name, QStringList* visited) const;
    QString bestInTheme(const QString& theme, const QString& name) const;
    QString findInPixmaps(const QString& name) const;
};
