#pragma once

#include "PrintPanel.h"
#include "persistence/ObjectID.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class ProductEntity;
class QTextDocument;

namespace Persistence {
class ObjectContext;
}

// The printed form of the catalogue: one HTML fragment per product (title and icon, then its fields
// in a two-column table) filled into a page, laid out in a text document and printed. Reads the
// products through a private context of its own, so printing sees the saved catalogue.
class ZRProductsReport
{
public:
    // `context` is a private context on the main store coordinator; the report owns it.
    static std::unique_ptr<ZRProductsReport>
    productsReportWithManagedObjectContext(std::unique_ptr<Persistence::ObjectContext> context);
    explicit ZRProductsReport(std::unique_ptr<Persistence::ObjectContext> context);
    ~ZRProductsReport();
    ZRProductsReport(const ZRProductsReport&) = delete;
    ZRProductsReport& operator=(const ZRProductsReport&) = delete;

    Persistence::ObjectContext* managedObjectContext() const { return m_context.get(); }
    // The product of the last print request, or null for all products.
    ProductEntity* product() const { return m_product; }
    bool showPrintDialog() const { return m_showPrintDialog; }

    // The element that starts a new page between two products.
    static QString pageBreakTag();
    // Puts `value` in place of every `tag` in `fragment`, comparing letters ignoring case. The value
    // is escaped for HTML (braces too, so a value cannot form a placeholder filled later) and its
    // line breaks become "<br/>"; a null value is the empty text.
    static void replaceTag(const QString& tag, const QString& value, QString& fragment);

    // The whole page for the products in order; with `oneAppPerPage` a page break separates them.
    QString reportHTML(const QList<ProductEntity*>& products, bool oneAppPerPage) const;
    // One product's fragment.
    QString productFragment(const ProductEntity& product) const;
    // "file://" URL of the product's icon, drawn at 64 by 64 and cached as a TIFF file named by the
    // icon's UUID in the cache folder; empty without an icon image or icon UUID.
    static QString cachedIconURL(const ProductEntity& product);

    // The templates; the application's resources unless a test sets others. A missing resource is
    // the empty text.
    QString pageTemplate() const { return m_pageTemplate; }
    QString fragmentTemplate() const { return m_fragmentTemplate; }
    void setTemplates(const QString& page, const QString& fragment);

    // All products of the context's coordinator through the model's "SummaryReport" fetch
    // template, sorted by title ignoring case. Nothing (after a log line) when the template is
    // missing or the fetch fails.
    static std::optional<QList<ProductEntity*>> summaryReportData(Persistence::ObjectContext* context);

    // The document of the report: `product` alone, or every product when it is null. Null when the
    // products cannot be read (logged).
    std::unique_ptr<QTextDocument> printableView(ProductEntity* product, bool oneAppPerPage) const;

    // Prints the product with this identifier (nothing: all products) through `panel`. An
    // identifier of a product that no longer exists prints nothing and fails.
    PrintPanel::Result printProduct(const std::optional<Persistence::ObjectID>& productID, bool showingPrintPanel,
                                    bool oneAppPerPage, PrintPanel* panel, QString* error = nullptr);

    // Writes the report as a PDF file (atomically), without a dialog.
    bool printToPdf(const std::optional<Persistence::ObjectID>& productID, bool oneAppPerPage, const QString& path,
                    QString* error = nullptr);

private:
    std::unique_ptr<QTextDocument> documentFor(const std::optional<Persistence::ObjectID>& productID,
                                               bool oneAppPerPage, QString* error);

    std::unique_ptr<Persistence::ObjectContext> m_context;
    ProductEntity* m_product = nullptr;
    bool m_showPrintDialog = false;
    QString m_pageTemplate;
    QString m_fragmentTemplate;
};
