#include "ProductIconWell.h"

#include "model/ProductEntity.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPixmap>

namespace {

QString droppedLocalFile(const QMimeData* data)
{
    if (!data->hasUrls()) {
        return {};
    }
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
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
    setToolTip(tr("Drop an image or an application here to make it the product's icon"));
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
    }
}

void ProductIconWell::dropEvent(QDropEvent* event)
{
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
