#pragma once

#include <QImage>
#include <QString>

// Icons as the desktop shows them, as square images: from the desktop's icon theme when the
// graphical application runs and the theme has one, else drawn (DrawnIcons). An image smaller
// than asked for is scaled up; one of another shape is centred on a transparent square.
//
// A bundle's own icon (its "CFBundleIconFile") is read by the caller through the bundle; these
// are the icons for everything else.
namespace DesktopIcons {

inline constexpr int DefaultSize = 512;
inline constexpr int MinimumSize = 16;
inline constexpr int MaximumSize = 1024;

// The icon of an application that has none of its own.
QImage genericApplicationIcon(int size = DefaultSize);

// The icon of the file or folder at a path, by its content type: bundles, programs, folders and
// documents of each MIME type. A missing file gets the generic document icon.
QImage iconForFile(const QString& path, int size = DefaultSize);

} // namespace DesktopIcons
