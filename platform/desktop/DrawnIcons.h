#pragma once

#include <QImage>

// Icons drawn in code, used where the desktop's icon theme has none (and in the command-line
// application, which has no theme). Square, transparent around the shape, at any size.
namespace DrawnIcons {

// A rounded tile with a blue gradient and a white emblem: an application.
QImage application(int size);

// A white page with a folded corner and lines of text: a document.
QImage document(int size);

// A folder with a tab.
QImage folder(int size);

} // namespace DrawnIcons
