#include "ZRCacheFileManager.h"

#include "ZRExternalFile.h"
#include "core/FileWriting.h"
#include "core/LibraryPaths.h"
#include "core/Log.h"

#include <QBuffer>
#include <QDir>
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
