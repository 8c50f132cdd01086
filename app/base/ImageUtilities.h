#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// How carefully an image is resampled when it is scaled.
enum class ImageInterpolation { None, Low, High };

// PNG bytes of the image; empty for a null image.
QByteArray zr_dataForPNGRepresentation(const QImage& image);

// A new image of exactly `size` with the whole image stretched into it (the aspect ratio is not
// kept), drawn over a transparent background. A null image gives a transparent image of that size;
// an empty size gives a null image.
QImage zr_imageScaledToSize(const QImage& image, const QSize& size,
                            ImageInterpolation interpolation = ImageInterpolation::High);
