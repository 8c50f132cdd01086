#pragma once

#include "prefs/SortOrder.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>

class ProductEntity;
class UserPreferences;

namespace Persistence {
class ObjectContext;
struct FetchRequest;
} // namespace Persistence

// The products of the main context as a table of title (with the product's icon), version and
// serial number, in the preferred sort order and narrowed by the search text. The list is fetched again on refresh();
// when only the order or the values changed, rows move with their persistent indexes, so selections follow them.
class ProductListModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductListModel)

public:
    enum Column { TitleColumn, VersionColumn, SerialColumn, ColumnCount };

    // `context` may be null (no library): the list then stays empty.
    ProductListModel(Persistence::ObjectContext* context, UserPreferences& prefs, QObject* parent = nullptr);
    ~ProductListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Sorts by the column's attribute and stores that order as the preferred one.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The attribute shown in a column, and the column showing an attribute (-1 for none).
    static QString keyForColumn(int column);
    static int columnForKey(const QString& key);

    SortOrder sortOrder() const { return m_order; }
    // Products whose title, serial number, publisher, registered name or e-mail contain the text,
    // ignoring case; an empty text shows every product.
    void setFilterText(const QString& text);
    QString filterText() const { return m_filter; }

    // Whether a change of the product's value for `key` (or of the keys that follow from it) shows in
    // the list: its columns, icons, search or order.
    bool dependsOnKey(const QString& key) const;

    // Fetches the list again. Answers false when the set of products changed, in which case the
    // model was reset and selections are gone.
    bool refresh();

    ProductEntity* product(int row) const;
    int rowOf(const ProductEntity* product) const;
    const QList<ProductEntity*>& products() const { return m_products; }

    // The request refresh() runs: exposed so the filter and order can be checked without a view.
    Persistence::FetchRequest fetchRequest() const;

private:
    static constexpr int IconSize = 32;
    static constexpr qsizetype MaximumCachedIcons = 2000;

    QIcon icon(const ProductEntity* product) const;
    QList<ProductEntity*> fetch() const;
    void moveRows(const QList<ProductEntity*>& products);

    Persistence::ObjectContext* m_context;
    UserPreferences& m_prefs;
    SortOrder m_order;
    QString m_filter;
    QList<ProductEntity*> m_products;
    mutable QHash<QString, QIcon> m_icons; // by icon record UUID
};
