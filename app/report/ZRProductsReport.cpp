#include "ZRProductsReport.h"

#include "DocumentPrinter.h"
#include "OfflineTextDocument.h"
#include "ProductCommentsText.h"
#include "ZRStringTools.h"
#include "base/ImageUtilities.h"
#include "base/Log.h"
#include "model/CurrencyCodes.h"
#include "model/IconEntity.h"
#include "model/LicenceFieldText.h"
#include "model/PriceText.h"
#include "model/ProductEntity.h"
#include "model/ZRCacheFileManager.h"
#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"

#include <QFile>
#include <QLocale>
#include <QUrl>

#include <algorithm>

using namespace Persistence;

namespace {

const QString ReportContentTag = QStringLiteral("{report content}");
// The edge of the printed text, in document units (about 9 mm), inside the printer's margins.
constexpr qreal ReportDocumentMargin = 34.0;
const QSize CachedIconSize(64, 64);

QString readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// A price as the window shows it: the interface's separators, the currency's decimals.
QString priceText(const ProductEntity& product, const Decimal& price)
{
    const QString symbol = product.purchaseCurrency();
    return PriceText(CurrencyCodes().codeForSymbol(symbol), symbol).toText(price);
}

QString purchasePriceText(const ProductEntity& product)
{
    const std::optional<Decimal> price = product.purchasePrice();
    return price ? priceText(product, *price) : QString();
}

QString purchaseDateText(const ProductEntity& product)
{
    const QDateTime date = product.purchaseDate();
    return date.isValid() ? QLocale().toString(date.toLocalTime(), QLocale::ShortFormat) : QString();
}

// The text of one licence field as the report shows it: dates in the locale's short form, the renewal
// price with its currency; empty when the field is not set.
QString licenceValueText(const ProductEntity& product, const QString& key)
{
    if (LicenceFieldText::isCalendarDate(key)) {
        const QDate day = key == u"expiryDate" ? product.expiryDate() : product.renewalDate();
        return day.isValid() ? QLocale().toString(day, QLocale::ShortFormat) : QString();
    }
    if (key == u"renewalPrice") {
        const std::optional<Decimal> price = product.renewalPrice();
        if (!price) {
            return {};
        }
        const QString text = priceText(product, *price);
        return product.purchaseCurrency().isEmpty() ? text : product.purchaseCurrency() + u' ' + text;
    }
    return LicenceFieldText::text(product, key);
}

// One table row per licence field that is set, so products without licence details print as before.
QString licenceRows(const ProductEntity& product)
{
    QString rows;
    for (const QString& key : LicenceFieldText::keys()) {
        const QString value = licenceValueText(product, key);
        if (value.isEmpty()) {
            continue;
        }
        QString row = QStringLiteral("<tr><td class=\"label\">{label}</td><td class=\"value\">{value}</td></tr>\n");
        ZRProductsReport::replaceTag(QStringLiteral("{label}"), LicenceFieldText::label(key), row);
        ZRProductsReport::replaceTag(QStringLiteral("{value}"), value, row);
        rows += row;
    }
    return rows;
}

} // namespace

std::unique_ptr<ZRProductsReport>
ZRProductsReport::productsReportWithManagedObjectContext(std::unique_ptr<ObjectContext> context)
{
    return std::make_unique<ZRProductsReport>(std::move(context));
}

ZRProductsReport::ZRProductsReport(std::unique_ptr<ObjectContext> context)
    : m_context(std::move(context))
    , m_pageTemplate(readResource(QStringLiteral(":/reports/ProductsReport.html")))
    , m_fragmentTemplate(readResource(QStringLiteral(":/reports/ProductsReportTemplate.html")))
{ }

ZRProductsReport::~ZRProductsReport() = default;

void ZRProductsReport::setTemplates(const QString& page, const QString& fragment)
{
    m_pageTemplate = page;
    m_fragmentTemplate = fragment;
}

QString ZRProductsReport::pageBreakTag()
{
    return QStringLiteral("<p class=\"breakhere\"></p>");
}

void ZRProductsReport::replaceTag(const QString& tag, const QString& value, QString& fragment)
{
    QString safe = ZR_stringSafeForXML(ZR_stringByConvertingMicrosoftLineBreaks(value));
    // Braces as character references: a title such as "{serial number}" shows as written instead
    // of being filled with the serial number by the next replacement.
    safe.replace(QLatin1Char('{'), QStringLiteral("&#123;"));
    safe.replace(QLatin1Char('}'), QStringLiteral("&#125;"));
    safe.replace(QLatin1Char('\n'), QStringLiteral("<br/>"));
    fragment.replace(tag, safe, Qt::CaseInsensitive);
}

QString ZRProductsReport::cachedIconURL(const ProductEntity& product)
{
    const IconEntity* icon = product.appIcon();
    QImage image;
    if (icon) {
        const QImage source = QImage::fromData(icon->contentData());
        if (!source.isNull()) {
            image = zr_imageScaledToSize(source, CachedIconSize, ImageInterpolation::High);
        }
    }
    const QString path = ZRCacheFileManager::defaultManager().cacheFileForImage(image, icon ? icon->uuid() : QString());
    return path.isEmpty() ? QString() : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

QString ZRProductsReport::productFragment(const ProductEntity& product) const
{
    QString fragment = m_fragmentTemplate;
    replaceTag(QStringLiteral("{title}"), product.title(), fragment);
    replaceTag(QStringLiteral("{version}"), product.productVersion(), fragment);
    replaceTag(QStringLiteral("{icon url}"), cachedIconURL(product), fragment);
    replaceTag(QStringLiteral("{publisher}"), product.publisher(), fragment);
    replaceTag(QStringLiteral("{product website}"), product.productWebsite(), fragment);
    replaceTag(QStringLiteral("{support email}"), product.productEmail(), fragment);
    replaceTag(QStringLiteral("{serial number}"), product.serialNumber(), fragment);
    replaceTag(QStringLiteral("{registered name}"), product.registeredName(), fragment);
    replaceTag(QStringLiteral("{registered email}"), product.registeredEmail(), fragment);
    replaceTag(QStringLiteral("{registered company}"), product.registeredCompany(), fragment);
    replaceTag(QStringLiteral("{purchase date}"), purchaseDateText(product), fragment);
    const QString price = purchasePriceText(product);
    replaceTag(QStringLiteral("{purchase price}"), price, fragment);
    replaceTag(QStringLiteral("{purchase currency}"), price.isEmpty() ? QString() : product.purchaseCurrency(),
               fragment);
    replaceTag(QStringLiteral("{order number}"), product.purchaseOrderNumber(), fragment);
    replaceTag(QStringLiteral("{notes}"), productCommentsString(product), fragment);
    // Rows of markup, filled last: the values above have their braces escaped already.
    fragment.replace(QStringLiteral("{licence rows}"), licenceRows(product), Qt::CaseInsensitive);
    return fragment;
}

QString ZRProductsReport::reportHTML(const QList<ProductEntity*>& products, bool oneAppPerPage) const
{
    QString content;
    for (qsizetype index = 0; index < products.size(); ++index) {
        content += productFragment(*products.at(index));
        if (oneAppPerPage && index + 1 < products.size()) {
            content += pageBreakTag();
        }
    }
    QString page = m_pageTemplate;
    page.replace(ReportContentTag, content, Qt::CaseInsensitive);
    return page;
}

std::optional<QList<ProductEntity*>> ZRProductsReport::summaryReportData(ObjectContext* context)
{
    if (!context) {
        return std::nullopt;
    }
    std::optional<FetchRequest> request = context->model().fetchRequestTemplate(QStringLiteral("SummaryReport"));
    if (!request) {
        Log::write(QStringLiteral("Error retrieving Fetch Request for SummaryReport!"));
        return std::nullopt;
    }
    // Every product's icon and notes are read: loaded for all of them at once.
    request->relationshipKeyPathsForPrefetching = {QStringLiteral("appIcon"), QStringLiteral("comments")};
    StoreError error;
    const std::optional<ObjectList> objects = context->execute(*request, &error);
    if (!objects) {
        Log::write(QStringLiteral("Error fetching summary report: %1").arg(error.toString()));
        return std::nullopt;
    }
    QList<ProductEntity*> products;
    for (ManagedObject* object : *objects) {
        if (auto* product = dynamic_cast<ProductEntity*>(object)) {
            products.append(product);
        }
    }
    std::stable_sort(products.begin(), products.end(), [](const ProductEntity* a, const ProductEntity* b) {
        return a->title().compare(b->title(), Qt::CaseInsensitive) < 0;
    });
    return products;
}

std::unique_ptr<QTextDocument> ZRProductsReport::printableView(ProductEntity* product, bool oneAppPerPage) const
{
    QList<ProductEntity*> products;
    if (product) {
        products.append(product);
    } else {
        const std::optional<QList<ProductEntity*>> all = summaryReportData(m_context.get());
        if (!all) {
            return nullptr;
        }
        products = *all;
    }
    auto document = std::make_unique<OfflineTextDocument>();
    document->setAllowedImageFolders({ZRCacheFileManager::defaultManager().cacheFolder()});
    document->setDocumentMargin(ReportDocumentMargin);
    document->setHtml(reportHTML(products, oneAppPerPage));
    return document;
}

std::unique_ptr<QTextDocument> ZRProductsReport::documentFor(const std::optional<ObjectID>& productID,
                                                             bool oneAppPerPage, QString* error)
{
    m_product = nullptr;
    if (productID) {
        m_product = m_context ? dynamic_cast<ProductEntity*>(m_context->existingObjectWithID(*productID)) : nullptr;
        if (!m_product) {
            if (error) {
                *error = QStringLiteral("The product to print no longer exists.");
            }
            return nullptr;
        }
    }
    std::unique_ptr<QTextDocument> document = printableView(m_product, oneAppPerPage);
    if (!document && error) {
        *error = QStringLiteral("The products could not be read.");
    }
    return document;
}

PrintPanel::Result ZRProductsReport::printProduct(const std::optional<ObjectID>& productID, bool showingPrintPanel,
                                                  bool oneAppPerPage, PrintPanel* panel, QString* error)
{
    m_showPrintDialog = showingPrintPanel;
    std::unique_ptr<QTextDocument> document = documentFor(productID, oneAppPerPage, error);
    if (!document) {
        return PrintPanel::Result::Failed;
    }
    if (!panel) {
        if (error) {
            *error = QStringLiteral("No printer is available.");
        }
        return PrintPanel::Result::Failed;
    }
    return panel->printDocument(*document, showingPrintPanel, error);
}

bool ZRProductsReport::printToPdf(const std::optional<ObjectID>& productID, bool oneAppPerPage, const QString& path,
                                  QString* error)
{
    m_showPrintDialog = false;
    std::unique_ptr<QTextDocument> document = documentFor(productID, oneAppPerPage, error);
    return document && DocumentPrinter::printToPdf(*document, path, error);
}
