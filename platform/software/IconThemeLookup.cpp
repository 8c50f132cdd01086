#include "IconThemeLookup.h"

#include "DesktopEntryFile.h"
#include "IconThemeCache.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QStandardPaths>

namespace {

const QString Hicolor = QStringLiteral("hicolor");

// Themes inherit from each other; a longer chain than this is a loop or a mistake.
constexpr qsizetype MaximumThemes = 32;

// Icon files larger than this are not read: real ones are a few hundred kilobytes at most.
constexpr qint64 MaximumImageFileSize = 16 * 1024 * 1024;

// "name.png" is looked up as "name": some entries give the file name of a theme icon.
QString withoutImageSuffix(const QString& icon)
{
    for (const QLatin1String suffix : {QLatin1String(".png"), QLatin1String(".svg"), QLatin1String(".xpm")}) {
        if (icon.endsWith(suffix, Qt::CaseInsensitive)) {
            return icon.chopped(suffix.size());
        }
    }
    return icon;
}

bool isThemeIconName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
        && name != QLatin1String("..");
}

QString gtkIconThemeName()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/gtk-3.0/settings.ini");
    QString error;
    const QString group = QStringLiteral("Settings");
    const std::optional<DesktopEntryFile> settings = DesktopEntryFile::read(path, &error, group);
    return settings ? settings->string(QStringLiteral("gtk-icon-theme-name"), group).trimmed() : QString();
}

} // namespace

QStringList IconThemeLookup::standardBaseFolders()
{
    QStringList folders;
    const QStringList data = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) {
        folders.append(data.first() + QStringLiteral("/icons"));
    }
    folders.append(QDir::homePath() + QStringLiteral("/.icons"));
    for (qsizetype i = 1; i < data.size(); ++i) {
        folders.append(data.at(i) + QStringLiteral("/icons"));
    }
    for (QString& folder : folders) {
        folder = QDir::cleanPath(folder);
    }
    folders.removeDuplicates();
    return folders;
}

QString IconThemeLookup::currentThemeName()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        const QString name = QIcon::themeName();
        if (!name.isEmpty()) {
            return name;
        }
    }
    const QString name = gtkIconThemeName();
    return name.isEmpty() ? Hicolor : name;
}

IconThemeLookup::IconThemeLookup(const QString& themeName, const QStringList& baseFolders,
                                 const QStringList& pixmapFolders)
    : m_themeName(themeName)
    , m_baseFolders(baseFolders)
    , m_pixmapFolders(pixmapFolders)
    , m_cache(std::make_shared<IconThemeCache>(baseFolders))
{ }

QString IconThemeLookup::pathForIcon(const QString& icon) const
{
    if (QDir::isAbsolutePath(icon)) {
        return QFileInfo(icon).isFile() ? icon : QString();
    }
    const QString name = withoutImageSuffix(icon);
    if (!isThemeIconName(name)) {
        return {};
    }
    QStringList visited;
    QString found = findInTheme(m_themeName, name, &visited);
    if (found.isEmpty() && !visited.contains(Hicolor)) {
        found = findInTheme(Hicolor, name, &visited);
    }
    return found.isEmpty() ? findInPixmaps(name) : found;
}

QString IconThemeLookup::findInTheme(const QString& theme, const QString& name, QStringList* visited) const
{
    if (visited->contains(theme) || visited->size() >= MaximumThemes) {
        return {};
    }
    visited->append(theme);
    const QString found = bestInTheme(theme, name);
    if (!found.isEmpty()) {
        return found;
    }
    const IconThemeCache::Theme* data = m_cache->theme(theme);
    // A copy: looking up the parents adds themes to the cache, which may move this one.
    const QStringList parents = data != nullptr ? data->index.inherits : QStringList();
    for (const QString& parent : parents) {
        const QString inherited = findInTheme(parent, name, visited);
        if (!inherited.isEmpty()) {
            return inherited;
        }
    }
    return {};
}

// The scalable image when the theme has one, else the largest PNG, else the largest XPM.
QString IconThemeLookup::bestInTheme(const QString& theme, const QString& name) const
{
    const IconThemeCache::Theme* data = m_cache->theme(theme);
    if (data == nullptr) {
        return {};
    }
    const QString files[]
        = {name + QStringLiteral(".svg"), name + QStringLiteral(".png"), name + QStringLiteral(".xpm")};
    QString best[3];
    int bestSize[3] = {-1, -1, -1};
    for (const IconThemeDirectory& directory : data->index.directories) {
        for (const QString& root : data->roots) {
            const QString folder = root + QLatin1Char('/') + directory.path;
            const QSet<QString>& present = m_cache->filesIn(folder);
            for (int kind = 0; kind < 3; ++kind) {
                if (directory.largestPixelSize() > bestSize[kind] && present.contains(files[kind])) {
                    best[kind] = folder + QLatin1Char('/') + files[kind];
                    bestSize[kind] = directory.largestPixelSize();
                }
            }
        }
    }
    for (const QString& path : best) {
        if (!path.isEmpty()) {
            return path;
        }
    }
    return {};
}

QString IconThemeLookup::findInPixmaps(const QString& name) const
{
    for (const QString& folder : m_pixmapFolders) {
        for (const char* suffix : {".svg", ".png", ".xpm"}) {
            const QString path = folder + QLatin1Char('/') + name + QLatin1String(suffix);
            if (QFileInfo(path).isFile()) {
                return path;
            }
        }
    }
    return {};
}

QImage IconThemeLookup::imageForFile(const QString& path, int size)
{
    const QFileInfo info(path);
    if (size <= 0 || !info.isFile() || info.size() > MaximumImageFileSize) {
        return {};
    }
    QImageReader reader(path);
    const QByteArray format = reader.format();
    if (format.isEmpty()) {
        return {};
    }
    const QSize box(size, size);
    if (format == "svg" || format == "svgz") {
        const QSize natural = reader.size();
        reader.setScaledSize(natural.isValid() && !natural.isEmpty() ? natural.scaled(box, Qt::KeepAspectRatio) : box);
        return reader.read();
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    const QSize fitted = image.size().scaled(box, Qt::KeepAspectRatio);
    return fitted == image.size() ? image : image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
