#include "ProductCellDelegate.h"

#include "FadedText.h"
#include "ProductIconCache.h"
#include "ProductListModel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int Margin = 4;
constexpr int Gap = 6;

} // namespace

ProductCellDelegate::ProductCellDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{ }

ProductCellDelegate::~ProductCellDelegate() = default;

QFont ProductCellDelegate::secondaryFont(const QFont& font)
{
    QFont smaller = font;
    if (smaller.pointSizeF() > 0) {
        smaller.setPointSizeF(smaller.pointSizeF() * 0.85);
    } else if (smaller.pixelSize() > 0) {
        smaller.setPixelSize(std::max(1, smaller.pixelSize() * 85 / 100));
    }
    return smaller;
}

int ProductCellDelegate::rowHeight(const QFont& font)
{
    const int text = QFontMetrics(font).height() + QFontMetrics(secondaryFont(font)).height();
    return std::max(text, int(ProductIconCache::IconSize)) + 2 * Margin;
}

QSize ProductCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(rowHeight(option.font));
    return size;
}

void ProductCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QRect area = option.rect.adjusted(Margin, Margin, -Margin, -Margin);
    const int iconSize = ProductIconCache::IconSize;
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const QRect iconRect(area.left(), area.top() + (area.height() - iconSize) / 2, iconSize, iconSize);
    if (!icon.isNull()) {
        icon.paint(painter, iconRect);
    }
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group
        = option.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    const QColor primary = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor secondary = selected ? primary : fadedText(primary, option.palette.color(group, QPalette::Base));

    QRect text = area.adjusted(iconSize + Gap, 0, 0, 0);
    const QFont small = secondaryFont(option.font);
    const int lines = QFontMetrics(option.font).height() + QFontMetrics(small).height();
    text.setTop(text.top() + (text.height() - lines) / 2);
    painter->save();
    painter->setFont(option.font);
    painter->setPen(primary);
    const QFontMetrics metrics(option.font);
    painter->drawText(QRect(text.left(), text.top(), text.width(), metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, text.width()));
    painter->setFont(small);
    painter->setPen(secondary);
    const QFontMetrics smallMetrics(small);
    painter->drawText(QRect(text.left(), text.top() + metrics.height(), text.width(), smallMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      smallMetrics.elidedText(index.data(ProductListModel::SecondaryTextRole).toString(),
                                              Qt::ElideRight, text.width()));
    painter->restore();
}
