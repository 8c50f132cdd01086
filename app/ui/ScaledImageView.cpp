#include "ScaledImageView.h"

#include <QPainter>

ScaledImageView::ScaledImageView(QImage image, QWidget* parent)
    : QWidget(parent)
    , m_image(std::move(image))
{ }

ScaledImageView::~ScaledImageView() = default;

QRectF ScaledImageView::imageRect() const
{
    if (m_image.isNull()) {
        return {};
    }
    QSizeF shown = m_image.deviceIndependentSize();
    if (shown.width() > width() || shown.height() > height()) {
        shown.scale(QSizeF(size()), Qt::KeepAspectRatio);
    }
    return QRectF((width() - shown.width()) / 2, (height() - shown.height()) / 2, shown.width(), shown.height());
}

void ScaledImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(imageRect(), m_image);
}
