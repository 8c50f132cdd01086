// The default data of a library: the currencies and Keymoor's own record.
#include "LibrarySession.h"
#include "base/AppInfo.h"
#include "base/Log.h"
#include "model/ProductEntity.h"
#include "model/ZRCurrencyManager.h"
#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"

#include <QImage>

using namespace Persistence;

namespace {

// Turns undo registration off for a scope: seeding and refreshing are not the person's edits.
class UndoRegistrationPause
{
public:
    explicit UndoRegistrationPause(ObjectContext* context)
        : m_undo(context ? context->undoManager() : nullptr)
    {
        if (m_undo) {
            m_undo->disableRegistration();
        }
    }
    ~UndoRegistrationPause()
    {
        if (m_undo) {
            m_undo->enableRegistration();
        }
    }
    Q_DISABLE_COPY_MOVE(UndoRegistrationPause)

private:
    UndoManager* m_undo;
};

} // namespace

void LibrarySession::initializeDefaultData()
{
    if (!managedObjectContext() || isReadOnly()) {
        return;
    }
    initializeDefaultCurrencies();
    initializeDefaultProduct();
}

void LibrarySession::initializeDefaultCurrencies()
{
    ObjectContext* context = managedObjectContext();
    if (!context) {
        return;
    }
    const QString operation = operationName("initializeDefaultCurrencies");
    const auto request = context->model().fetchRequestTemplate(QStringLiteral("AllCurrencies"));
    StoreError error;
    const auto currencies = request ? context->execute(*request, &error) : std::nullopt;
    if (!currencies) {
        Log::write(QStringLiteral("%1: fetch request returned nil.").arg(operation));
        if (error.isError()) {
            Log::write(QStringLiteral("ERROR: %1 - %2").arg(operation, error.toString()));
        }
        return;
    }
    if (!currencies->isEmpty()) {
        return;
    }
    UndoRegistrationPause pause(context);
    const QStringList symbols = ZRCurrencyManager::currencySymbols();
    for (int index = 0; index < symbols.size(); ++index) {
        ManagedObject* currency = context->insertObject(QStringLiteral("Currency"));
        if (!currency) {
            return;
        }
        currency->setValue(QStringLiteral("currencySymbol"), symbols.at(index));
        currency->setValue(QStringLiteral("sortIndex"), index);
        const QString code = ZRCurrencyManager::isoCodeForSymbol(symbols.at(index));
        if (!code.isEmpty()) {
            currency->setValue(QStringLiteral("currencyCode"), code);
        }
    }
}

bool LibrarySession::isOwnProduct(const ProductEntity* product)
{
    return product && product->title() == AppInfo::executableName();
}

ProductEntity* LibrarySession::ownProduct()
{
    ObjectContext* context = managedObjectContext();
    if (!context) {
        return nullptr;
    }
    const QString name = AppInfo::executableName();
    const auto products = context->execute(
        FetchRequest(QStringLiteral("Product"), Predicate::keyPathEquals(QStringLiteral("title"), name)));
    if (products && !products->isEmpty()) {
        return dynamic_cast<ProductEntity*>(products->first());
    }
    if (isReadOnly()) {
        return nullptr;
    }
    // The catalogue always holds Keymoor's own record; a library that lost it gets it back.
    UndoRegistrationPause pause(context);
    auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
    if (product) {
        product->setTitle(name);
    }
    return product;
}

void LibrarySession::initializeDefaultProduct()
{
    const QString operation = operationName("initializeDefaultProduct");
    ProductEntity* product = ownProduct();
    if (!product) {
        Log::write(QStringLiteral("ERROR: %1 - Unable to get Keymoor entity.").arg(operation));
        return;
    }
    const QString version = AppInfo::shortVersion();
    if (version.isEmpty()) {
        Log::write(QStringLiteral("ERROR: %1 - Unable to retrieve CFBundleShortVersionString.").arg(operation));
        return;
    }
    UndoRegistrationPause pause(managedObjectContext());
    // Only values that differ are written, so an unchanged record does not make the library dirty.
    const auto refresh = [product](const QString& key, const QString& value) {
        if (product->value(key).toString() != value) {
            product->setValue(key, value);
        }
    };
    refresh(QStringLiteral("title"), AppInfo::executableName());
    refresh(QStringLiteral("productVersion"), version);
    refresh(QStringLiteral("publisher"), QStringLiteral("Zerrow"));
    refresh(QStringLiteral("productWebsite"), AppInfo::stringValue(QStringLiteral("ZRProductURL")));
    refresh(QStringLiteral("productEmail"), AppInfo::stringValue(QStringLiteral("ZRSupportEmail")));
    // The icon is stored once: writing it again at every launch would leave a new file (and a
    // changed library to save) each time for the same picture. A missing file is written again.
    if (!isReadOnly() && product->externalIcon().isNull()) {
        const QString iconName = AppInfo::stringValue(QStringLiteral("CFBundleIconFile"));
        const QImage icon(QStringLiteral(":/") + iconName);
        if (iconName.isEmpty() || icon.isNull() || !product->setExternalIconImage(icon)) {
            Log::write(QStringLiteral("ERROR: %1 - Unable to store the application icon.").arg(operation));
        }
    }
}
