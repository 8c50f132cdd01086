#include "FileUtilities.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <limits>

quint64 fileSizeAtPath(const QString& path)
{
    if (path.isEmpty()) {
        return 0;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return 0;
    }
    const qint64 size = info.size();
    return size > 0 ? static_cast<quint64>(size) : 0;
}

quint64 totalFileSizeForFiles(const QStringList& paths)
{
    quint64 total = 0;
    for (const QString& path : paths) {
        const quint64 size = fileSizeAtPath(path);
        // Saturate rather than wrap: a wrapped sum would pass a size check it should fail.
        total = size > std::numeric_limits<quint64>::max() - total ? std::numeric_limits<quint64>::max() : total + size;
    }
    return total;
}

quint64 freeDiskSpaceAtPath(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return 0;
    }
    const QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady()) {
        return 0;
    }
    const qint64 available = storage.bytesAvailable();
    return available > 0 ? static_cast<quint64>(available) : 0;
}
