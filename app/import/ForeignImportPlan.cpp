#include "ForeignImportPlan.h"

#include "base/Localization.h"
#include "model/ProductEntity.h"
#include "persistence/FetchRequest.h"
#include "persistence/ObjectContext.h"

#include <QHash>

#include <algorithm>

using namespace Persistence;

namespace {

// A product, or a record planned to be added, under its title.
struct Known
{
    QString serial;
    ObjectID product; // null for a record of this import
};

QString titleKey(const QString& title)
{
    return title.trimmed().toCaseFolded();
}

ForeignImportPlan::Item planItem(const ForeignRecord& record, QList<Known>& known)
{
    ForeignImportPlan::Item item {record, ForeignImportPlan::Action::Add, {}};
    const QString serial = record.serialNumber.trimmed();
    const auto same = std::find_if(known.cbegin(), known.cend(),
                                   [&serial](const Known& k) { return k.serial.trimmed() == serial; });
    if (same != known.cend()) {
        item.action = ForeignImportPlan::Action::AlreadyThere;
        item.product = same->product;
        return item;
    }
    if (!serial.isEmpty()) {
        const auto unlicensed = std::find_if(known.begin(), known.end(), [](const Known& k) {
            return k.serial.trimmed().isEmpty() && !k.product.isNull();
        });
        if (unlicensed != known.end()) {
            item.action = ForeignImportPlan::Action::Update;
            item.product = unlicensed->product;
            unlicensed->serial = serial;
            return item;
        }
    }
    known.append({serial, {}});
    return item;
}

} // namespace

int ForeignImportPlan::count(Action action) const
{
    return int(
        std::count_if(items.cbegin(), items.cend(), [action](const Item& item) { return item.action == action; }));
}

bool ForeignImportPlan::make(const ForeignReadResult& read, ObjectContext* context, ForeignImportPlan* plan,
                             QString* error)
{
    *plan = {};
    plan->formats = read.format.isEmpty() ? QStringList() : read.format.split(QStringLiteral(", "));
    plan->warnings = read.warnings;
    plan->skippedNotLicence = read.skippedNotLicence;
    QHash<QString, QList<Known>> byTitle;
    if (context) {
        StoreError storeError;
        std::optional<ObjectList> products;
        {
            ContextLocker locker(context);
            products = context->execute(FetchRequest(QStringLiteral("Product")), &storeError);
            if (products) {
                for (ManagedObject* object : *products) {
                    if (const auto* product = dynamic_cast<ProductEntity*>(object)) {
                        byTitle[titleKey(product->title())].append({product->serialNumber(), product->objectID()});
                    }
                }
            }
        }
        if (!products) {
            *error = localizedFormat(QStringLiteral("ForeignImportCatalogueUnreadableFormat"), {storeError.toString()});
            return false;
        }
    }
    for (const ForeignRecord& record : read.records) {
        plan->items.append(planItem(record, byTitle[titleKey(record.title)]));
    }
    return true;
}
