#pragma once

#include <QStringList>

class QMimeData;

// The paths of the local files in a drag or a paste, in the order they were given; addresses of
// anything other than local files are left out.
QStringList droppedLocalFiles(const QMimeData* data);
