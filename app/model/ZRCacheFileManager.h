#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QImage;

// Writes scratch files into the application cache folder (emptied at every quit): images dropped
// without a file, and the full paths of files another program wrote there.
class ZRCacheFileManager
{
public:
    // The one shared instance, made on first use (also when first asked from several threads).
    static ZRCacheFileManager& defaultManager();

    // Writes the image as TIFF to "<cache>/<uuid>.TIFF", atomically; the path, or empty after a log
    // line when there is no image or UUID, the UUID is no plain name, or writing failed.
    QString cacheFileForImage(const QImage& image, const QString& uuid) const;
    // Each name joined with the cache folder, in order; nothing for a missing list. Names that
    // would leave the cache folder (path separators, "..") are left out.
    std::optional<QStringList> fullPathsForCachedFileNames(const std::optional<QStringList>& names) const;

    // The folder used; tests may point it elsewhere. Empty: the application cache folder.
    void setCacheFolder(const QString& folder);
    QString cacheFolder() const;

private:
    ZRCacheFileManager() = default;
    QString m_folder;
};
