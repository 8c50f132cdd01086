#include "ReportService.h"

#include "ZRProductsReport.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/Notice.h"
#include "base/UserInterface.h"
#include "library/LibrarySession.h"
#include "model/ProductEntity.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserPreferences.h"

using namespace Persistence;

ReportService::ReportService(LibrarySession& session)
    : m_session(session)
{ }

ReportService::~ReportService() = default;

std::shared_ptr<ZRProductsReport> ReportService::newProductsReport()
{
    ObjectContext* mainContext = m_session.managedObjectContext();
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

bool ReportService::print(const ProductEntity* selectedProduct)
{
    m_session.saveAction();
    if (!selectedProduct) {
        showNothingToPrintNotice();
        return false;
    }
    return printReport(selectedProduct->objectID());
}

bool ReportService::printAll()
{
    m_session.saveAction();
    return printReport(std::nullopt);
}

bool ReportService::printReport(const std::optional<ObjectID>& productID)
{
    std::shared_ptr<ZRProductsReport> report = newProductsReport();
    if (!report) {
        return false;
    }
    m_productsReport = report;
    QString error;
    const PrintPanel::Result result
        = report->printProduct(productID, true, m_session.userPrefs().printAllOneAppPerPage(), m_printPanel, &error);
    if (result == PrintPanel::Result::Failed) {
        Log::write(QStringLiteral("Error printing the products report: %1").arg(error));
        if (UserInterface* ui = m_session.userInterface()) {
            ui->presentError(PresentableError {localizedString(QStringLiteral("ReportPrintFailed")), error, {}});
        }
    }
    return result == PrintPanel::Result::Printed;
}

void ReportService::showNothingToPrintNotice() const
{
    UserInterface* ui = m_session.userInterface();
    if (!ui) {
        return;
    }
    showNotice(ui, AlertStyle::Informational, localizedString(QStringLiteral("NoProductToPrintTitle")),
               localizedString(QStringLiteral("NoProductToPrintMessage")));
}
