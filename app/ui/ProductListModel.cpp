#include "ProductListModel.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserPreferences.h"
#include "products/LicenceDue.h"
#include "products/LicenceDueText.h"

#include <QCollator>
#include <QColor>
#include <QSet>

#include <algorithm>
#include <vector>

using namespace Persistence;

namespace {

SortDescriptor::Comparison comparisonFor(SortComparison comparison)
{
    return comparison == SortComparison::CaseInsensitiveText ? SortDescriptor::Comparison::CaseInsensitive
                                                             : SortDescriptor::Comparison::Default;
}

// A serial number may hold several lines; the list shows them on one.
QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line;
}

// The licence dates that decide the filters and the due column.
QList<LicenceDueEntry> dueEntries(const ProductEntity* product)
{
    return LicenceDue::dueEntries(LicenceTerms::fromProduct(*product), QDate::currentDate(), std::nullopt);
}

} // namespace

ProductListModel::ProductListModel(ObjectContext* context, UserPreferences& prefs, QObject* parent)
    : QAbstractTableModel(parent)
    , m_context(context)
    , m_prefs(prefs)
    , m_order(prefs.productSortDescriptorsArray())
{
    m_preparation.setInterval(0);
    m_preparation.setSingleShot(true);
    connect(&m_preparation, &QTimer::timeout, this, &ProductListModel::prepareSearch);
    const QList<ProductEntity*> products = fetch();
    m_products = products;
    takeAll(products);
}

// Makes `products` the ones searched, and their search texts in the passes of the event loop to come.
void ProductListModel::takeAll(const QList<ProductEntity*>& products)
{
    m_dueCount.reset();
    m_search.setProducts(products);
    m_preparation.start();
}

void ProductListModel::prepareSearch()
{
    if (!m_search.prepare(PreparedPerPass)) {
        m_preparation.start();
    }
}

ProductListModel::~ProductListModel() = default;

int ProductListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_products.size());
}

int ProductListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProductListModel::data(const QModelIndex& index, int role) const
{
    const ProductEntity* entry = product(index.row());
    if (entry && role == Qt::DecorationRole && index.column() == TitleColumn) {
        return m_icons.icon(entry);
    }
    if (entry && role == Qt::ForegroundRole && index.column() == DueColumn && isDue(entry)) {
        return QColor(Qt::red); // due soon or past
    }
    if (entry && role == SecondaryTextRole && index.column() == TitleColumn) {
        QStringList parts {entry->productVersion(), entry->publisher()};
        parts.removeAll(QString());
        return parts.join(QStringLiteral(" \u2014 "));
    }
    if (!entry || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    switch (index.column()) {
    case TitleColumn:
        return entry->title();
    case VersionColumn:
        return entry->productVersion();
    case SerialColumn:
        return role == Qt::ToolTipRole ? entry->serialNumber() : oneLine(entry->serialNumber());
    case DueColumn:
        return dueData(entry, role);
    case PublisherColumn:
        return entry->publisher();
    default:
        return {};
    }
}

// The product's next licence date (the earliest of its expiry and next renewal), and in the tool
// tip what it is and how far off.
QVariant ProductListModel::dueData(const ProductEntity* product, int role) const
{
    QList<LicenceDueEntry> dates = LicenceDue::occurrences(LicenceTerms::fromProduct(*product), QDate::currentDate());
    if (dates.isEmpty()) {
        return {};
    }
    LicenceDue::sortEntries(dates);
    const LicenceDueEntry& next = dates.first();
    if (role == Qt::ToolTipRole) {
        return localizedString(next.kind == LicenceDueEntry::Kind::Expiry ? QStringLiteral("DueKindExpiry")
                                                                          : QStringLiteral("DueKindRenewal"))
            + QLatin1Char(' ') + LicenceDueText::relativeDays(next.daysLeft);
    }
    return next.date.toString(Qt::ISODate);
}

QVariant ProductListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case TitleColumn:
        return localizedString(QStringLiteral("ProductListTitleColumn"));
    case VersionColumn:
        return localizedString(QStringLiteral("ProductListVersionColumn"));
    case SerialColumn:
        return localizedString(QStringLiteral("ProductListSerialNumberColumn"));
    case DueColumn:
        return localizedString(QStringLiteral("ProductListDueColumn"));
    case PublisherColumn:
        return localizedString(QStringLiteral("ProductListPublisherColumn"));
    default:
        return {};
    }
}

QString ProductListModel::keyForColumn(int column)
{
    switch (column) {
    case TitleColumn:
        return QStringLiteral("title");
    case VersionColumn:
        return QStringLiteral("productVersion");
    case SerialColumn:
        return QStringLiteral("serialNumber");
    case PublisherColumn:
        return QStringLiteral("publisher");
    default:
        return {};
    }
}

int ProductListModel::columnForKey(const QString& key)
{
    for (int column = 0; column < ColumnCount; ++column) {
        if (keyForColumn(column) == key) {
            return column;
        }
    }
    return -1;
}

void ProductListModel::sort(int column, Qt::SortOrder order)
{
    const QString key = keyForColumn(column);
    if (key.isEmpty()) {
        return;
    }
    const bool ascending = order == Qt::AscendingOrder;
    if (!m_order.isEmpty() && m_order.first().key == key && m_order.first().ascending == ascending) {
        return;
    }
    // The preferences decide how the key compares (dates naturally, text ignoring case).
    m_prefs.setProductSortDescriptorsArray({SortOrderEntry {key, ascending}});
    m_order = m_prefs.productSortDescriptorsArray();
    refresh();
}

bool ProductListModel::setFilterText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == m_filter) {
        return true;
    }
    m_filter = trimmed;
    m_foldedFilter = ProductSearchFilter::foldedSearchText(trimmed);
    return show(filtered());
}

bool ProductListModel::setLicenceFilters(LicenceFilters filters)
{
    if (filters == m_licenceFilters) {
        return true;
    }
    m_licenceFilters = filters;
    return show(filtered());
}

// The products the search and the licence filters let through, in order.
QList<ProductEntity*> ProductListModel::filtered()
{
    QList<ProductEntity*> products = m_search.filter(m_foldedFilter);
    if (m_licenceFilters.dueSoon || m_licenceFilters.expired) {
        products.removeIf([this](const ProductEntity* product) {
            const QList<LicenceDueEntry> due = dueEntries(product);
            const bool past = std::any_of(due.begin(), due.end(), [](const auto& e) { return e.isPast(); });
            const bool soon = std::any_of(due.begin(), due.end(), [](const auto& e) { return !e.isPast(); });
            return !((m_licenceFilters.dueSoon && soon) || (m_licenceFilters.expired && past));
        });
    }
    return products;
}

bool ProductListModel::isDue(const ProductEntity* product) const
{
    return !dueEntries(product).isEmpty();
}

int ProductListModel::dueCount() const
{
    if (!m_dueCount) {
        m_dueCount = int(std::count_if(m_search.products().begin(), m_search.products().end(),
                                       [this](const ProductEntity* product) { return isDue(product); }));
    }
    return *m_dueCount;
}

bool ProductListModel::dependsOnKey(const QString& key) const
{
    // The keys of the due column and the licence filters.
    static const QStringList LicenceKeys {QStringLiteral("expiryDate"), QStringLiteral("renewalDate"),
                                          QStringLiteral("renewalPeriodMonths"), QStringLiteral("remindDaysBefore"),
                                          QStringLiteral("archived")};
    QStringList keys = ProductEntity::keysAffectedBy(key);
    keys.prepend(key);
    for (const QString& changed : std::as_const(keys)) {
        if (changed == u"appIcon" || changed == u"externalIcon" || columnForKey(changed) >= 0
            || LicenceKeys.contains(changed) || ProductSearchFilter::searchedKeys().contains(changed)) {
            return true;
        }
        for (const SortOrderEntry& entry : m_order) {
            if (entry.key == changed) {
                return true;
            }
        }
    }
    return false;
}

FetchRequest ProductListModel::fetchRequest() const
{
    // The one place the list's request is made. Only the attributes the list shows are read here;
    // icons are read for the rows on screen, when they are painted.
    FetchRequest request(QStringLiteral("Product"));
    for (const SortOrderEntry& entry : m_order) {
        request.sortDescriptors.append(SortDescriptor(entry.key, entry.ascending, comparisonFor(entry.comparison)));
    }
    // Equal keys keep one order from fetch to fetch, so rows do not swap places on every refresh.
    request.sortDescriptors.append(SortDescriptor(QStringLiteral("uuid")));
    return request;
}

QList<ProductEntity*> ProductListModel::fetch() const
{
    QList<ProductEntity*> products;
    if (!m_context) {
        return products;
    }
    StoreError error;
    const auto objects = m_context->execute(fetchRequest(), &error);
    if (!objects) {
        Log::write(QStringLiteral("ERROR: ProductListModel::fetch - %1").arg(error.toString()));
        return products;
    }
    products.reserve(objects->size());
    for (ManagedObject* object : *objects) {
        if (auto* entry = dynamic_cast<ProductEntity*>(object)) {
            products.append(entry);
        }
    }
    if (!m_order.isEmpty() && m_order.first().key == keyForColumn(VersionColumn)) {
        sortVersionsNaturally(products, m_order.first().ascending);
    }
    return products;
}

// The store compares versions as text ("12.0" before "2.1"); the list orders them by their numbers.
// The store's order stays for equal versions (the sort is stable).
void ProductListModel::sortVersionsNaturally(QList<ProductEntity*>& products, bool ascending)
{
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, ProductEntity*>> keyed;
    keyed.reserve(size_t(products.size()));
    for (ProductEntity* product : std::as_const(products)) {
        keyed.emplace_back(collator.sortKey(product->productVersion()), product);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& left, const auto& right) {
        return ascending ? left.first.compare(right.first) < 0 : right.first.compare(left.first) < 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i) {
        products[qsizetype(i)] = keyed[i].second;
    }
}

bool ProductListModel::refresh()
{
    // Values may have changed anywhere (edits, undo, imports merged into the context): the search
    // texts are made again.
    takeAll(fetch());
    return show(filtered());
}

// Makes `products` the rows: a reset when other products are shown, else moves or a repaint.
bool ProductListModel::show(const QList<ProductEntity*>& products)
{
    if (products.size() != m_products.size()) {
        beginResetModel();
        m_products = products;
        endResetModel();
        return false;
    }
    const QSet<ProductEntity*> before(m_products.cbegin(), m_products.cend());
    const QSet<ProductEntity*> after(products.cbegin(), products.cend());
    if (before != after || products.size() != m_products.size()) {
        beginResetModel();
        m_products = products;
        endResetModel();
        return false;
    }
    if (products != m_products) {
        moveRows(products);
    } else if (!m_products.isEmpty()) {
        emit dataChanged(index(0, 0), index(int(m_products.size()) - 1, ColumnCount - 1));
    }
    return true;
}

// Reorders the same products and moves every persistent index with its product.
void ProductListModel::moveRows(const QList<ProductEntity*>& products)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    QList<ProductEntity*> owners;
    owners.reserve(persistent.size());
    for (const QModelIndex& index : persistent) {
        owners.append(product(index.row()));
    }
    m_products = products;
    for (qsizetype i = 0; i < persistent.size(); ++i) {
        const int row = rowOf(owners.at(i));
        changePersistentIndex(persistent.at(i), row < 0 ? QModelIndex() : index(row, persistent.at(i).column()));
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit dataChanged(index(0, 0), index(int(m_products.size()) - 1, ColumnCount - 1));
}

ProductEntity* ProductListModel::product(int row) const
{
    return row >= 0 && row < m_products.size() ? m_products.at(row) : nullptr;
}

int ProductListModel::rowOf(const ProductEntity* product) const
{
    return product ? int(m_products.indexOf(const_cast<ProductEntity*>(product))) : -1;
}
