#pragma once

#include "../model/AttachmentTestLibrary.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "persistence/Decimal.h"

#include <QBuffer>
#include <QImage>

// The attachment tests' library (Keymoor's own record and "Northwind Notes"), with helpers that
// fill products the way the report and the sync folder read them.
class ReportTestLibrary : public AttachmentTestLibrary
{
protected:
    ProductEntity* addProduct(const QString& title, const QString& serial = QString())
    {
        auto* product = m_context->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(title);
        product->setSerialNumber(serial);
        return product;
    }

    // Gives the product an icon whose stored file is a TIFF image of one colour.
    IconEntity* addIcon(ProductEntity* product, const QSize& size = QSize(512, 512), QColor colour = Qt::darkCyan)
    {
        auto* icon = m_context->insert<IconEntity>(QStringLiteral("Icon"));
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        QByteArray tiff;
        QBuffer buffer(&tiff);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, "TIFF"));
        EXPECT_TRUE(icon->writeContentData(tiff));
        product->setAppIcon(icon);
        return icon;
    }

    static Persistence::Decimal price(const char* text)
    {
        return *Persistence::Decimal::fromString(QString::fromLatin1(text));
    }
};
