#include "ToolbarIcons.h"

#include "desktop/DesktopIcons.h"
#include "model/AttachmentIcons.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace ToolbarIcons {

namespace {

QIcon themeIcon(const QString& name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(name, QApplication::style()->standardIcon(fallback));
}

QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(Size, Size).toImage();
}

QIcon fileTypeIcon(const QString& extension, Badge badge)
{
    return iconWithBadge(AttachmentIcons::iconForFileExtension(extension), badge);
}

} // namespace

QImage imageWithBadge(const QImage& base, Badge badge)
{
    const QSize size = base.isNull() ? QSize(Size, Size) : base.size();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (!base.isNull()) {
        painter.drawImage(QPoint(0, 0), base);
    }
    const qreal side = std::min(size.width(), size.height()) / 2.0;
    const QRectF circle(size.width() - side, size.height() - side, side, side);
    painter.setPen(QPen(Qt::white, side / 10.0));
    painter.setBrush(badge == Badge::Add ? QColor(46, 160, 67) : QColor(207, 34, 46));
    painter.drawEllipse(circle.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(Qt::white, side / 6.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre = circle.center();
    const qreal arm = side / 4.0;
    painter.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    if (badge == Badge::Add) {
        painter.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
    }
    return image;
}

QIcon iconWithBadge(const QIcon& base, Badge badge)
{
    return QIcon(QPixmap::fromImage(imageWithBadge(iconImage(base), badge)));
}

QIcon newItemIcon()
{
    return themeIcon(QStringLiteral("list-add"), QStyle::SP_FileDialogNewFolder);
}

QIcon removeItemIcon()
{
    return themeIcon(QStringLiteral("list-remove"), QStyle::SP_TrashIcon);
}

QIcon importAppIcon()
{
    return QIcon(QPixmap::fromImage(imageWithBadge(DesktopIcons::genericApplicationIcon(Size), Badge::Add)));
}

QIcon importMailIcon()
{
    return iconWithBadge(AttachmentIcons::iconForMailClient(QStringLiteral("com.apple.mail")), Badge::Add);
}

QIcon importOutlookIcon()
{
    return iconWithBadge(AttachmentIcons::iconForMailClient(QStringLiteral("com.microsoft.Outlook")), Badge::Add);
}

QIcon attachFileIcon()
{
    return fileTypeIcon(QStringLiteral("txt"), Badge::Add);
}

QIcon removeAttachmentIcon()
{
    return fileTypeIcon(QStringLiteral("txt"), Badge::Remove);
}

QIcon importWidgetIcon()
{
    return fileTypeIcon(QStringLiteral("wdgt"), Badge::Add);
}

QIcon importPluginIcon()
{
    return fileTypeIcon(QStringLiteral("bundle"), Badge::Add);
}

QIcon importPrefPaneIcon()
{
    return fileTypeIcon(QStringLiteral("prefPane"), Badge::Add);
}

QIcon clipboardKeyIcon()
{
    return themeIcon(QStringLiteral("edit-copy"), QStyle::SP_FileDialogContentsView);
}

QIcon reloadIcon()
{
    return themeIcon(QStringLiteral("view-refresh"), QStyle::SP_BrowserReload);
}

QIcon reloadMultipleIcon()
{
    return themeIcon(QStringLiteral("view-refresh-all"), QStyle::SP_BrowserReload);
}

QIcon phoneIcon()
{
    return themeIcon(QStringLiteral("phone"), QStyle::SP_DriveNetIcon);
}

} // namespace ToolbarIcons
