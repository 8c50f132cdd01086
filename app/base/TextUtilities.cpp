#include "TextUtilities.h"

#include <QUuid>

QString universallyUniuqueIdentifier()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString hfsPath(const QString& path)
{
    return path;
}
