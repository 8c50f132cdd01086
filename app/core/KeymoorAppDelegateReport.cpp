// The report, printing and sync commands of the application controller: Print and Print All build
// a products report over a private context and hand it to the print panel; Sync to iPhone writes
// the sync folder into the chosen cloud-storage folder.
#include "KeymoorAppDelegate.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "model/ProductEntity.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"
#include "report/ZRProductsReport.h"
#include "sync/KMSyncOperation.h"

using namespace Persistence;

const char* const KeymoorAppDelegate::SyncPreferencesPane = "Sync Update";

std::shared_ptr<ZRProductsReport> KeymoorAppDelegate::newProductsReport()
{
    ObjectContext* mainContext = managedObjectContext();
    if (!mainContext) {
        return nullptr;
    }
    std::unique_ptr<ObjectContext> context
        = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(mainContext->coordinator());
    if (!context) {
        return nullptr;
    }
    context->setUndoEnabled(false);
    return ZRProductsReport::productsReportWithManagedObjectContext(std::move(context));
}

bool KeymoorAppDelegate::print()
{
    saveAction();
    // The main window prints its selected product (there is no other printable window yet).
    ProductEntity* product = selectedProduct();
    if (!product) {
        showNotice(AlertStyle::Informational, QStringLiteral("No Product to Print"),
                   QStringLiteral("Please select a product to print."));
        return false;
    }
    return printReport(product->objectID());
}

bool KeymoorAppDelegate::printAll()
{
    saveAction();
    return printReport(std::nullopt);
}

bool KeymoorAppDelegate::printReport(const std::optional<ObjectID>& productID)
{
    std::shared_ptr<ZRProductsReport> report = newProductsReport();
    if (!report) {
        return false;
    }
    m_productsReport = report;
    QString error;
    const PrintPanel::Result result
        = report->printProduct(productID, true, m_prefs->printAllOneAppPerPage(), m_printPanel, &error);
    if (result == PrintPanel::Result::Failed) {
        Log::write(QStringLiteral("Error printing the products report: %1").arg(error));
        if (m_ui) {
            m_ui->presentError(
                PresentableError {QStringLiteral("The products report could not be printed."), error, {}});
        }
    }
    return result == PrintPanel::Result::Printed;
}

bool KeymoorAppDelegate::syncToMobile()
{
    if (!m_prefs->syncOn()) {
        emit preferencesPaneRequested(QString::fromLatin1(SyncPreferencesPane));
        return false;
    }
    if (m_ui) {
        m_ui->startProgress(QStringLiteral("Syncing with iPhone"));
    }
    // The export reads the store through a context of its own: the latest edits must be saved.
    saveAction();
    const QString folder = m_prefs->expandedPath(PreferenceKeys::SyncDropFolderLocation);
    ObjectContext* context = managedObjectContext();
    bool exported = false;
    if (!folder.isEmpty() && context) {
        KMSyncOperation operation(folder, context->coordinator());
        exported = operation.exportSync();
    }
    if (m_ui) {
        m_ui->stopProgress();
    }
    if (!exported) {
        Log::write(QStringLiteral("Sync Failed"));
        showNotice(AlertStyle::Warning, QStringLiteral("Sync Failed"),
                   QStringLiteral("Make sure you have correctly installed and configured your Dropbox account."));
    }
    return exported;
}
