#include "ProductIconWell.h"

#include "base/Localization.h"
#include "model/ProductEntity.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>

namespace {

// The first local file of the drop: of several files dropped at once, the first becomes the icon.
QString droppedLocalFile(const QMimeData* data)
{
    if (!data->hasUrls()) {
        return {};
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

} // namespace

ProductIconWell::ProductIconWell(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("iconWell"));
    setFixedSize(DisplaySize + 8, DisplaySize + 8);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setAcceptDrops(true);
    setToolTip(localizedString(QStringLiteral("IconWellToolTip")));
}

void ProductIconWell::showIcon(const ProductEntity* product)
{
    QImage image;
    if (product) {
        image.loadFromData(product->externalIcon());
    }
    if (image.isNull()) {
        clear();
        return;
    }
    setPixmap(
        QPixmap::fromImage(image.scaled(DisplaySize, DisplaySize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void ProductIconWell::dragEnterEvent(QDragEnterEvent* event)
{
    // Drags from inside Keymoor (attachments dragged out) are meant for other programs.
    if (isEnabled() && event->source() == nullptr
        && (!droppedLocalFile(event->mimeData()).isEmpty() || event->mimeData()->hasImage())) {
        event->acceptProposedAction();
        setHighlight(true);
    }
}

void ProductIconWell::dragLeaveEvent(QDragLeaveEvent* event)
{
    setHighlight(false);
    event->accept();
}

void ProductIconWell::setHighlight(bool on)
{
    if (m_highlight != on) {
        m_highlight = on;
        update();
    }
}

void ProductIconWell::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!m_highlight) {
        return;
    }
    QPainter painter(this);
    const int half = HighlightWidth / 2;
    painter.setPen(QPen(palette().color(QPalette::Highlight), HighlightWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(half, half, -half - 1, -half - 1));
}

void ProductIconWell::dropEvent(QDropEvent* event)
{
    setHighlight(false);
    const QString path = droppedLocalFile(event->mimeData());
    if (!path.isEmpty()) {
        event->acceptProposedAction();
        emit fileDropped(path);
        return;
    }
    const QImage image = qvariant_cast<QImage>(event->mimeData()->imageData());
    if (image.isNull()) {
        return;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.save(&buffer, "TIFF")) {
        event->acceptProposedAction();
        emit imageDropped(bytes);
    }
}
