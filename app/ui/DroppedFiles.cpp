#include "DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

QStringList droppedLocalFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    return paths;
}
