#include "SortOrder.h"

#include "AttributeValue.h"

#include <QCollator>
#include <QStringList>

#include <algorithm>
#include <numeric>
#include <vector>

namespace Persistence {

namespace {

using Comparison = SortDescriptor::Comparison;

// One key's values for every item. A key that is text everywhere is compared as text directly,
// or by collation keys made once per item for localized order.
struct Key
{
    QVector<QVariant> values;
    QStringList strings;
    std::vector<QCollatorSortKey> collated;
    bool allStrings = true;

    int compare(qsizetype a, qsizetype b) const
    {
        if (!collated.empty()) {
            return collated[size_t(a)].compare(collated[size_t(b)]);
        }
        if (allStrings) {
            return QString::compare(strings[a], strings[b]);
        }
        return AttributeValue::compare(values[a], values[b]);
    }
};

void prepare(Key& key, Comparison comparison, const QCollator& collator, const QCollator& caseless)
{
    if (key.allStrings && (comparison == Comparison::Localized || comparison == Comparison::LocalizedCaseInsensitive)) {
        const QCollator& by = comparison == Comparison::Localized ? collator : caseless;
        key.collated.reserve(size_t(key.values.size()));
        for (const QVariant& value : std::as_const(key.values)) {
            key.collated.push_back(by.sortKey(value.toString()));
        }
    } else if (key.allStrings) {
        key.strings.reserve(key.values.size());
        for (const QVariant& value : std::as_const(key.values)) {
            key.strings.append(comparison == Comparison::CaseInsensitive ? value.toString().toCaseFolded()
                                                                         : value.toString());
        }
    } else if (comparison == Comparison::CaseInsensitive) {
        for (QVariant& value : key.values) {
            if (value.metaType().id() == QMetaType::QString) {
                value = value.toString().toCaseFolded();
            }
        }
    }
}

} // namespace

QList<qsizetype> sortOrder(qsizetype count, const QList<SortDescriptor>& descriptors,
                           const std::function<QVariant(qsizetype key, qsizetype item)>& valueOf)
{
    QCollator collator;
    QCollator caseless;
    caseless.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<Key> keys(size_t(descriptors.size()));
    for (qsizetype k = 0; k < descriptors.size(); ++k) {
        Key& key = keys[size_t(k)];
        key.values.reserve(count);
        for (qsizetype i = 0; i < count; ++i) {
            key.values.append(valueOf(k, i));
            key.allStrings = key.allStrings && key.values.back().metaType().id() == QMetaType::QString;
        }
        prepare(key, descriptors[k].comparison, collator, caseless);
    }
    QList<qsizetype> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            const int result = keys[k].compare(a, b);
            if (result != 0) {
                return descriptors[qsizetype(k)].ascending ? result < 0 : result > 0;
            }
        }
        return false;
    });
    return order;
}

} // namespace Persistence
