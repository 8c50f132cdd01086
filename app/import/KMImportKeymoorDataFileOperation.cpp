#include "KMImportKeymoorDataFileOperation.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "model/ProductEntity.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "plist/PropertyList.h"

#include <QDateTime>
#include <QFileInfo>

using namespace Persistence;

namespace {

// Entry key -> product key, in the order they are set.
const QList<QPair<QString, QString>>& textKeys()
{
    static const QList<QPair<QString, QString>> keys {
        {QStringLiteral("purchaseVersion"), QStringLiteral("productVersion")},
        {QStringLiteral("registrationLicenseKey"), QStringLiteral("serialNumber")},
        {QStringLiteral("registrationEmail"), QStringLiteral("registeredEmail")},
        {QStringLiteral("registrationName"), QStringLiteral("registeredName")},
    };
    return keys;
}

const QList<QPair<QString, QString>>& laterTextKeys()
{
    static const QList<QPair<QString, QString>> keys {
        {QStringLiteral("productURL"), QStringLiteral("productWebsite")},
        {QStringLiteral("notes"), QStringLiteral("commentsString")},
        {QStringLiteral("publisher"), QStringLiteral("publisher")},
        {QStringLiteral("supportEmail"), QStringLiteral("productEmail")},
        {QStringLiteral("orderNumber"), QStringLiteral("purchaseOrderNumber")},
    };
    return keys;
}

void setText(ProductEntity* product, const QVariantMap& entry, const QList<QPair<QString, QString>>& keys)
{
    for (const auto& [entryKey, productKey] : keys) {
        if (entry.contains(entryKey)) {
            product->setValue(productKey, entry.value(entryKey).toString());
        }
    }
}

// A number is taken through its text; a string price is read as decimal text ("29.95"). Anything
// else, or text that is no number, sets no price.
std::optional<Decimal> priceOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        return Decimal::fromDouble(value.toDouble());
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
        return Decimal::fromString(QString::number(value.toLongLong()));
    case QMetaType::QString:
        return Decimal::fromString(value.toString().trimmed());
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QVariantList> KMImportKeymoorDataFileOperation::plistForURL(const QString& path)
{
    QString error;
    const std::optional<QVariant> root = PropertyList::fromFile(path, &error);
    if (!root) {
        Log::write(error);
    } else if (root->typeId() == QMetaType::QVariantList) {
        return root->toList();
    }
    Log::write(QStringLiteral("Couldn't open .keymoor file."));
    return std::nullopt;
}

void KMImportKeymoorDataFileOperation::applyEntry(ProductEntity* product, const QVariantMap& entry,
                                                  ApplicationLocator& locator)
{
    if (!entry.contains(QStringLiteral("appName"))) {
        return;
    }
    const QString title = entry.value(QStringLiteral("appName")).toString().remove(QStringLiteral(".app"));
    product->setTitle(title);
    setText(product, entry, textKeys());
    const QVariant date = entry.value(QStringLiteral("purchaseDate"));
    if (date.typeId() == QMetaType::QString) {
        product->setPurchaseDateString(date.toString());
    } else if (date.typeId() == QMetaType::QDateTime) {
        product->setPurchaseDate(date.toDateTime());
    }
    if (const auto price = priceOf(entry.value(QStringLiteral("purchasePrice")))) {
        product->setPurchasePrice(price);
    }
    setText(product, entry, laterTextKeys());
    const QString appPath = locator.pathForApplication(title);
    if (!appPath.isEmpty()) {
        product->setBundleInfoFromAppPath(appPath);
        product->setExternalIconFromAppPath(appPath);
    }
}

void KMImportKeymoorDataFileOperation::main()
{
    if (!QFileInfo(fileURL()).isFile()) {
        Log::write(QStringLiteral("ERROR: Missing import file."));
        setError(PresentableError {localizedFormat(QStringLiteral("ImportFileNotFoundFormat"), {fileURL()}), {}, {}});
        return;
    }
    const std::optional<QVariantList> entries = plistForURL(fileURL());
    if (!entries) {
        setError(PresentableError {localizedFormat(QStringLiteral("ImportFileNotKeymoorFileFormat"), {fileURL()}),
                                   localizedString(QStringLiteral("ImportNothingImported")),
                                   {}});
        return;
    }
    std::unique_ptr<ObjectContext> context
        = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(coordinator());
    QObject::connect(context.get(), &ObjectContext::didSave, managedObjectContext(), &ObjectContext::didSave);
    int added = 0;
    for (const QVariant& element : *entries) {
        if (element.typeId() != QMetaType::QVariantMap) {
            continue;
        }
        auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
        if (!product) {
            continue;
        }
        const QVariantMap entry = element.toMap();
        applyEntry(product, entry, locator());
        setLastImported(product->title());
        ++added;
    }
    StoreError error;
    if (!context->save(&error)) {
        Log::write(QStringLiteral("ERROR: Error saving context for file .keymoor file import."));
        setError(PresentableError {localizedString(QStringLiteral("ImportSaveFailed")),
                                   localizedString(QStringLiteral("ImportNothingImported")), error.toString()});
        return;
    }
    addCounts(ImportCounts {added, 0});
}
