#pragma once

#include <QObject>

class QHeaderView;
class QMenu;

// The column chooser of the products list: the header's context menu lists every column but the
// title with a check mark for the ones shown; the title column is always there.
class ProductListColumns : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductListColumns)

public:
    explicit ProductListColumns(QHeaderView* header);
    ~ProductListColumns() override;

    // The chooser's menu as the header shows it on a right click.
    void fillMenu(QMenu* menu);
    // Hides every column but the title (the two-line cell shows version and publisher already).
    void showTitleOnly();

signals:
    void columnsChanged();

private:
    QHeaderView* m_header;
};
