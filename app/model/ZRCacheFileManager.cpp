#include "ZRCacheFileManager.h"

#include "AttachmentEntity.h"
#include "ZRExternalFile.h"
#include "ZRPathTools.h"
#include "base/FileWriting.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "base/TextUtilities.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

ZRCacheFileManager& ZRCacheFileManager::defaultManager()
{
    // A function-local static is initialised exactly once, also under concurrent first calls.
    static ZRCacheFileManager manager;
    return manager;
}

void ZRCacheFileManager::setCacheFolder(const QString& folder)
{
    m_folder = folder;
}

QString ZRCacheFileManager::cacheFolder() const
{
    return m_folder.isEmpty() ? LibraryPaths::applicationCacheFolder() : m_folder;
}

QString ZRCacheFileManager::cacheFileForImage(const QImage& image, const QString& uuid) const
{
    if (image.isNull() || uuid.isEmpty()) {
        Log::write(QStringLiteral("image or uuid not supplied for caching."));
        return {};
    }
    const QString folder = cacheFolder();
    if (folder.isEmpty() || !ZRExternalFile::isSafeFileName(uuid)) {
        Log::write(QStringLiteral("failed to create cache path for image."));
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    if (!writer.write(image)) {
        Log::write(QStringLiteral("failed to encode image for caching: %1").arg(writer.errorString()));
        return {};
    }
    const QString path = QDir(folder).filePath(QStringLiteral("%1.%2").arg(uuid, QStringLiteral("TIFF")));
    QString error;
    if (!FileWriting::writeData(bytes, path, &error)) {
        Log::write(QStringLiteral("failed to write cached image to %1: %2").arg(path, error));
        return {};
    }
    return path;
}

std::optional<QStringList>
ZRCacheFileManager::fullPathsForCachedFileNames(const std::optional<QStringList>& names) const
{
    if (!names) {
        Log::write(QStringLiteral("can't cache empty array of file names"));
        return std::nullopt;
    }
    const QDir folder(cacheFolder());
    QStringList paths;
    for (const QString& name : *names) {
        if (ZRExternalFile::isSafeFileName(name)) {
            paths.append(folder.filePath(name));
        } else {
            Log::write(QStringLiteral("Skipping cached file name that is not a plain name: %1").arg(name));
        }
    }
    return paths;
}

std::optional<QStringList>
ZRCacheFileManager::copiesForDraggingAttachments(const QList<AttachmentEntity*>& attachments) const
{
    // Each drag gets a folder of its own, so the copies keep the attachments' own names and a copy
    // left by an earlier drag is never offered in place of another attachment of the same name.
    const QString cache = cacheFolder();
    const QString folder = cache.isEmpty() ? QString() : QDir(cache).filePath(universallyUniuqueIdentifier());
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        Log::write(QStringLiteral("Error: pasteboard can't copy attachment to %1. Error: %2")
                       .arg(folder, QStringLiteral("the folder could not be made")));
        return std::nullopt;
    }
    QStringList copies;
    for (const AttachmentEntity* attachment : attachments) {
        const QFileInfo stored(attachment->contentPath());
        if (attachment->contentPath().isEmpty() || !stored.isFile() || stored.size() > MaximumDragFileSize) {
            continue;
        }
        const QString target = ZR_safeFilePath(QDir(folder).filePath(attachment->exportFileName()));
        QString error;
        if (!FileWriting::copyFile(stored.filePath(), target, &error)) {
            Log::write(QStringLiteral("Error: pasteboard can't copy attachment to %1. Error: %2").arg(target, error));
            QDir(folder).removeRecursively();
            return std::nullopt;
        }
        copies.append(target);
    }
    if (copies.isEmpty()) {
        QDir(folder).removeRecursively();
    }
    return copies;
}
