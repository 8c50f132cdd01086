#pragma once

#include "persistence/ObjectID.h"

#include <QtGlobal>

#include <memory>
#include <optional>

class LibrarySession;
class PrintPanel;
class ProductEntity;
class ZRProductsReport;

// The print commands: Print and Print All build a products report over a private context and hand
// it to the print panel. The most recent report stays with the service until the next print
// command replaces it.
class ReportService
{
    Q_DISABLE_COPY_MOVE(ReportService)

public:
    explicit ReportService(LibrarySession& session);
    ~ReportService();

    // Where print jobs go (the window's print dialog); without one, printing fails and says so.
    void setPrintPanel(PrintPanel* panel) { m_printPanel = panel; }
    PrintPanel* printPanel() const { return m_printPanel; }
    // The most recent report; it lives until the next print command replaces it.
    ZRProductsReport* productsReport() const { return m_productsReport.get(); }
    void setProductsReport(std::shared_ptr<ZRProductsReport> report) { m_productsReport = std::move(report); }
    // A new report reading through a private context on the main store coordinator; null without
    // a library.
    std::shared_ptr<ZRProductsReport> newProductsReport();

    // Print: saves, then prints the selected product after the print dialog; with nothing selected
    // the alert "No Product to Print" instead. Print All: saves, then prints every product. Both
    // follow "Print All One App Per Page" and answer whether the report was printed; a failed print
    // is logged and shown, a cancelled one is not.
    bool print(const ProductEntity* selectedProduct);
    bool printAll();

private:
    bool printReport(const std::optional<Persistence::ObjectID>& productID);
    void showNothingToPrintNotice() const;

    LibrarySession& m_session;
    PrintPanel* m_printPanel = nullptr;
    std::shared_ptr<ZRProductsReport> m_productsReport;
};
