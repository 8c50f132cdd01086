#pragma once

#include <QStyledItemDelegate>

// Paints the title cell of the products list in two lines: the product's icon, its title, and
// below it the version and publisher in a smaller text of the palette's text colour faded towards
// its background (so it stays readable in a dark palette). Rows are painted, never backed by widgets, so the list costs
// the same at any length; the icon is asked of the model only for the rows painted.
class ProductCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductCellDelegate)

public:
    explicit ProductCellDelegate(QObject* parent = nullptr);
    ~ProductCellDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The height of a two-line row in a widget using `font`.
    static int rowHeight(const QFont& font);

private:
    static QFont secondaryFont(const QFont& font);
};
