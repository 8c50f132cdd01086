#pragma once

#include "ProductIconCache.h"
#include "ProductSearchFilter.h"
#include "prefs/SortOrder.h"

#include <QAbstractTableModel>
#include <QList>
#include <QTimer>

#include <optional>

class ProductEntity;
class UserPreferences;

namespace Persistence {
class ObjectContext;
struct FetchRequest;
} // namespace Persistence

// The products of the main context as a table of title (with the product's icon, and version and
// publisher for the cell's second line), version, serial number, publisher and next licence date, in
// the preferred sort order and narrowed by the search text. The products are fetched from the store on
// refresh() only; the search narrows them in memory (ProductSearchFilter, whose texts are made in idle
// time after each fetch, so the first keystroke finds them ready), and icons are read for the rows the
// view asks about (ProductIconCache). When only the order or the values changed, rows move with their
// persistent indexes, so selections follow them. The licence filters narrow the rows further to
// products due soon or expired (LicenceDue).
class ProductListModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductListModel)

public:
    enum Column { TitleColumn, VersionColumn, SerialColumn, PublisherColumn, DueColumn, ColumnCount };
    // The second line of a title cell: version and publisher, for ProductCellDelegate.
    static constexpr int SecondaryTextRole = Qt::UserRole + 1;
    // Which licences the list shows; both filters on show the products that pass either.
    struct LicenceFilters
    {
        bool dueSoon = false; // a date ahead within the product's reminder lead
        bool expired = false; // a date already past
        bool operator==(const LicenceFilters&) const = default;
    };

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
    // Products whose title, serial number, publisher, registered name, e-mail or notes contain the text,
    // ignoring case; an empty text shows every product. Answers false when the rows changed by a
    // reset, in which case selections are gone.
    bool setFilterText(const QString& text);
    QString filterText() const { return m_filter; }
    // Narrows the rows as setFilterText does, and answers the same way.
    bool setLicenceFilters(LicenceFilters filters);
    LicenceFilters licenceFilters() const { return m_licenceFilters; }
    // The products (of all, whatever the filters) with a licence date due soon or past.
    int dueCount() const;

    // Whether a change of the product's value for `key` (or of the keys that follow from it) shows in
    // the list: its columns, icons, search or order.
    bool dependsOnKey(const QString& key) const;

    // Fetches the list again. Answers false when the set of products shown changed, in which case
    // the model was reset and selections are gone.
    bool refresh();

    ProductEntity* product(int row) const;
    int rowOf(const ProductEntity* product) const;
    const QList<ProductEntity*>& products() const { return m_products; }
    // Every product of the list, whether the search shows it or not.
    int totalCount() const { return int(m_search.productCount()); }

    // The request refresh() runs: every product in the preferred order (the search is applied in
    // memory afterwards).
    Persistence::FetchRequest fetchRequest() const;

    // The icons of the rows shown so far (its loader is the seam for counting icon reads).
    ProductIconCache& iconCache() const { return m_icons; }
    // The search texts made so far for the products (in idle time after each fetch).
    qsizetype preparedSearchTexts() const { return m_search.preparedCount(); }

private:
    // Products whose search texts are made per pass of the event loop: a few milliseconds' work.
    static constexpr qsizetype PreparedPerPass = 4000;

    QList<ProductEntity*> fetch() const;
    static void sortVersionsNaturally(QList<ProductEntity*>& products, bool ascending);
    void takeAll(const QList<ProductEntity*>& products);
    void prepareSearch();
    bool show(const QList<ProductEntity*>& products);
    void moveRows(const QList<ProductEntity*>& products);
    QList<ProductEntity*> filtered();
    bool isDue(const ProductEntity* product) const;
    QVariant dueData(const ProductEntity* product, int role) const;

    Persistence::ObjectContext* m_context;
    UserPreferences& m_prefs;
    SortOrder m_order;
    QString m_filter;
    QString m_foldedFilter;
    LicenceFilters m_licenceFilters;
    mutable std::optional<int> m_dueCount; // made on demand after each fetch
    QList<ProductEntity*> m_products; // the rows: the products the search lets through
    ProductSearchFilter m_search; // over every product, in order
    QTimer m_preparation;
    mutable ProductIconCache m_icons;
};
