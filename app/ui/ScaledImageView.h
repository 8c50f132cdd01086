#pragma once

#include <QImage>
#include <QWidget>

// Shows an image as large as fits the view, keeping its proportions, centred; never enlarged past
// its own size.
class ScaledImageView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScaledImageView)

public:
    explicit ScaledImageView(QImage image, QWidget* parent = nullptr);
    ~ScaledImageView() override;

    const QImage& image() const { return m_image; }
    // Where the image is drawn in the view's current size.
    QRectF imageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
