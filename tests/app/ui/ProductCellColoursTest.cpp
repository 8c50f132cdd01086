#include "ui/ProductCellDelegate.h"
#include "ui/ProductListModel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// A dark palette as people set one by hand: the main roles only, the placeholder colour left as
// the light palette had it.
QPalette handMadeDarkPalette()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x20));
    palette.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::PlaceholderText, QApplication::palette().color(QPalette::PlaceholderText));
    return palette;
}

// The largest difference in brightness between a painted pixel and the cell's background.
int strongestContrast(const QPalette& palette, const QString& title, const QString& secondary)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), title, Qt::DisplayRole);
    model.setData(model.index(0, 0), secondary, ProductListModel::SecondaryTextRole);
    ProductCellDelegate delegate;
    QStyleOptionViewItem option;
    option.font = QApplication::font();
    option.palette = palette;
    option.state = QStyle::State_Enabled;
    option.rect = QRect(0, 0, 320, ProductCellDelegate::rowHeight(option.font));
    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(palette.color(QPalette::Base));
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 0));
    }
    const int background = qGray(palette.color(QPalette::Base).rgb());
    int strongest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            strongest = std::max(strongest, std::abs(qGray(image.pixel(x, y)) - background));
        }
    }
    return strongest;
}

TEST(ProductCellColours, TheVersionLineIsDimmerThanTheTitleYetReadableInLightAndDarkPalettes)
{
    const QString title = QStringLiteral("HARBOR FTP");
    const QString secondary = QStringLiteral("3.1.4 \u2014 Blue Harbour");
    for (const QPalette& palette : {QApplication::palette(), handMadeDarkPalette()}) {
        const int titleContrast = strongestContrast(palette, title, QString());
        const int secondaryContrast = strongestContrast(palette, QString(), secondary);
        EXPECT_GT(titleContrast, 150);
        EXPECT_GT(secondaryContrast, 80) << "background " << qGray(palette.color(QPalette::Base).rgb());
        EXPECT_LT(secondaryContrast, titleContrast);
    }
}

} // namespace
