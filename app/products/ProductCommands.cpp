#include "ProductCommands.h"

#include "base/Localization.h"
#include "base/Notice.h"
#include "base/UserInterface.h"
#include "email/ZRRegistrationInfoScanner.h"
#include "library/LibrarySession.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "persistence/UndoManager.h"
#include "prefs/UserPreferences.h"

using namespace Persistence;

ProductCommands::ProductCommands(LibrarySession& session)
    : m_session(session)
{ }

ProductEntity* ProductCommands::addNewProduct()
{
    ObjectContext* context = m_session.managedObjectContext();
    if (!context || m_session.isReadOnly()) {
        return nullptr;
    }
    ProductEntity* product = nullptr;
    {
        ContextLocker locker(context);
        product = context->insert<ProductEntity>(QStringLiteral("Product"));
    }
    if (!product) {
        return nullptr;
    }
    m_session.saveAction();
    emit m_session.productAdded(product);
    return product;
}

bool ProductCommands::removeProducts(const QList<ProductEntity*>& products)
{
    ObjectContext* context = m_session.managedObjectContext();
    if (!context || products.isEmpty() || m_session.isReadOnly()) {
        return false;
    }
    for (const ProductEntity* product : products) {
        if (LibrarySession::isOwnProduct(product)) {
            showOwnProductNotice();
            return false;
        }
    }
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.title = products.size() == 1 ? deleteQuestion(products.first()) : deleteSeveralQuestion(products);
    alert.buttons = {QStringLiteral("Delete"), localizedString(QStringLiteral("CancelButton"))};
    alert.escapeButton = 1;
    UserInterface* ui = m_session.userInterface();
    if (!ui || ui->runAlert(alert) != 0) {
        return false;
    }
    {
        // The whole deletion is one undo step, however many products it takes.
        ContextLocker locker(context);
        Persistence::UndoManager* undo = context->undoManager();
        if (undo) {
            undo->beginGroup();
        }
        for (ProductEntity* product : products) {
            context->deleteObject(product);
        }
        if (undo) {
            undo->endGroup();
        }
    }
    emit m_session.productsChanged();
    return true;
}

QString ProductCommands::deleteQuestion(const ProductEntity* first) const
{
    if (first->title().isEmpty()) {
        return localizedString(QStringLiteral("DeleteThisProductQuestion"));
    }
    if (!first->productVersion().isEmpty()) {
        return localizedFormat(QStringLiteral("DeleteProductVersionQuestionFormat"),
                               {first->title(), first->productVersion()});
    }
    return localizedFormat(QStringLiteral("DeleteProductQuestionFormat"), {first->title()});
}

QString ProductCommands::deleteSeveralQuestion(const QList<ProductEntity*>& products)
{
    // Up to three titles name what goes; more would make the question unreadable.
    constexpr int namedTitles = 3;
    QStringList titles;
    for (const ProductEntity* product : products) {
        if (titles.size() == namedTitles) {
            titles.append(QStringLiteral("…"));
            break;
        }
        titles.append(product->title().isEmpty() ? localizedString(QStringLiteral("UntitledProductTitle"))
                                                 : product->title());
    }
    return localizedFormat(QStringLiteral("DeleteProductsQuestionFormat"),
                           {QString::number(products.size()), titles.join(QStringLiteral(", "))});
}

void ProductCommands::showOwnProductNotice() const
{
    UserInterface* ui = m_session.userInterface();
    if (!ui) {
        return;
    }
    showNotice(ui, AlertStyle::Informational, localizedString(QStringLiteral("DeleteKeymoor")),
               localizedString(QStringLiteral("DeleteKeymoorMessage")));
}

void ProductCommands::copyProductKeyStringValueToClipboard(const ProductEntity* product, const QString& key)
{
    UserInterface* ui = m_session.userInterface();
    if (!product || !ui) {
        return;
    }
    ui->setClipboardText(product->value(key).toString(), key == QLatin1String("serialNumber"));
}

void ProductCommands::copySerialToClipboard(const ProductEntity* product)
{
    copyProductKeyStringValueToClipboard(product, QStringLiteral("serialNumber"));
}

void ProductCommands::copyRegisteredNameToClipboard(const ProductEntity* product)
{
    copyProductKeyStringValueToClipboard(product, QStringLiteral("registeredName"));
}

void ProductCommands::copyRegisteredEmailToClipboard(const ProductEntity* product)
{
    copyProductKeyStringValueToClipboard(product, QStringLiteral("registeredEmail"));
}

bool ProductCommands::applyRegistrationInfo(ProductEntity* product, const ZRRegistrationInfo& info)
{
    if (!product) {
        return false;
    }
    UserPreferences& prefs = m_session.userPrefs();
    const ZRRegistrationUpdate update
        = ZRRegistrationInfoScanner::planUpdate(info, product->serialNumber(), prefs.askBeforeReplaceInfo());
    if (update.askFirst) {
        Alert alert;
        alert.style = AlertStyle::Warning;
        alert.title = update.question;
        alert.buttons = {localizedString(QStringLiteral("ReplaceButton")), localizedString(QStringLiteral("NoButton"))};
        alert.escapeButton = 1;
        UserInterface* ui = m_session.userInterface();
        if (!ui || ui->runAlert(alert) != 0) {
            return false;
        }
    }
    product->setSerialNumber(update.info.serial);
    if (update.info.email) {
        product->setRegisteredEmail(*update.info.email);
    }
    if (update.info.date) {
        product->setPurchaseDate(*update.info.date);
    }
    if (prefs.autoCopySerial()) {
        copySerialToClipboard(product);
    }
    return true;
}
