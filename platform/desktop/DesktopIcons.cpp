#include "DesktopIcons.h"

#include "ContentType.h"
#include "DrawnIcons.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QThread>

#include <algorithm>

namespace {

QImage onSquare(const QImage& image, int size)
{
    if (image.width() == size && image.height() == size) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    const QImage scaled = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage square(size, size, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    return square;
}

// The first icon of the theme among the names; a null image without a theme (the command-line
// application has no QGuiApplication, and pixmaps need one) and off the main thread (the theme's
// icon cache and pixmaps belong to it; background imports draw their icons instead).
QImage themeIcon(const QStringList& names, int size)
{
    const QCoreApplication* application = QCoreApplication::instance();
    if (!qobject_cast<const QGuiApplication*>(application) || QThread::currentThread() != application->thread()) {
        return {};
    }
    for (const QString& name : names) {
        const QIcon icon = QIcon::fromTheme(name);
        if (icon.isNull()) {
            continue;
        }
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        if (!pixmap.isNull()) {
            return onSquare(pixmap.toImage(), size);
        }
    }
    return {};
}

QImage iconFor(const QStringList& themeNames, QImage (*drawn)(int), int size)
{
    const QImage themed = themeIcon(themeNames, size);
    return themed.isNull() ? drawn(size) : themed;
}

QStringList themeNamesForBundle(BundleKind kind)
{
    switch (kind) {
    case BundleKind::PreferencePane:
        return {QStringLiteral("preferences-system"), QStringLiteral("preferences-desktop")};
    case BundleKind::Plugin:
    case BundleKind::Widget:
        return {QStringLiteral("application-x-addon"), QStringLiteral("extension")};
    case BundleKind::Package:
        return {QStringLiteral("package-x-generic")};
    case BundleKind::Application:
    case BundleKind::None:
        break;
    }
    return {QStringLiteral("application-x-executable")};
}

} // namespace

namespace DesktopIcons {

QImage genericApplicationIcon(int size)
{
    size = std::clamp(size, MinimumSize, MaximumSize);
    return iconFor({QStringLiteral("application-x-executable")}, DrawnIcons::application, size);
}

QImage iconForFile(const QString& path, int size)
{
    size = std::clamp(size, MinimumSize, MaximumSize);
    const ContentType type = ContentType::ofPath(path);
    if (!type.isValid()) {
        return iconFor({QStringLiteral("text-x-generic")}, DrawnIcons::document, size);
    }
    if (type.isBundle()) {
        return iconFor(themeNamesForBundle(type.bundleKind), DrawnIcons::application, size);
    }
    if (type.mimeType == QLatin1String("inode/directory")) {
        return iconFor({QStringLiteral("folder")}, DrawnIcons::folder, size);
    }
    const QMimeType mime = QMimeDatabase().mimeTypeForName(type.mimeType);
    const QStringList names {mime.iconName(), mime.genericIconName()};
    return iconFor(names, type.isExecutable ? DrawnIcons::application : DrawnIcons::document, size);
}

} // namespace DesktopIcons
