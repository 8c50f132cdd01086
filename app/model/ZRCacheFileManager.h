#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class AttachmentEntity;
class QImage;

// Writes scratch files into the application cache folder (emptied at every quit): images dropped
// without a file, the full paths of files another program wrote there, and copies of attached
// files dragged out to other programs.
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

    // Stored files larger than this are left out of a drag, so that starting one stays quick.
    static constexpr qint64 MaximumDragFileSize = 1048576;
    // Copies the stored files of the attachments into a new folder of its own in the cache folder,
    // each under its export name (unique within the folder), for a drag to other programs. Files
    // that are missing, no plain files or larger than MaximumDragFileSize are left out. Answers the
    // copies' paths in order, or nothing after a log line when a copy failed (no copy is kept then).
    std::optional<QStringList> copiesForDraggingAttachments(const QList<AttachmentEntity*>& attachments) const;

    // The folder used; tests may point it elsewhere. Empty: the application cache folder.
    void setCacheFolder(const QString& folder);
    QString cacheFolder() const;

private:
    ZRCacheFileManager() = default;
    QString m_folder;
};
