#include "ReportTestLibrary.h"
#include "model/ZRCacheFileManager.h"
#include "model/ZRCoreDataFactory.h"
#include "report/ZRProductsReport.h"

#include <QFileInfo>
#include <QUrl>

namespace {

class ProductsReportTest : public ReportTestLibrary
{
protected:
    void SetUp() override
    {
        ReportTestLibrary::SetUp();
        m_report = ZRProductsReport::productsReportWithManagedObjectContext(
            ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(m_context->coordinator()));
    }

    // The fragment of one product filled into a template of only the given placeholders.
    QString fill(const ProductEntity* product, const QString& fragment)
    {
        m_report->setTemplates(QStringLiteral("{report content}"), fragment);
        return m_report->productFragment(*product);
    }

    std::unique_ptr<ZRProductsReport> m_report;
};

TEST_F(ProductsReportTest, ValuesAreEscapedAndLineBreaksBecomeBreakElements)
{
    struct Case
    {
        const char* what;
        QString value;
        QString expected;
    };
    const QList<Case> cases = {
        {"markup", QStringLiteral("<b>Tom & Jerry</b>"), QStringLiteral("&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;")},
        {"quotes", QStringLiteral("\"it's\""), QStringLiteral("&quot;it&apos;s&quot;")},
        {"two lines", QStringLiteral("first\nsecond"), QStringLiteral("first<br/>second")},
        {"windows lines", QStringLiteral("first\r\nsecond"), QStringLiteral("first<br/>second")},
        // A value must not become a placeholder that a later replacement fills.
        {"braces", QStringLiteral("{serial number}"), QStringLiteral("&#123;serial number&#125;")},
        {"null", QString(), QString()},
    };
    for (const Case& c : cases) {
        QString fragment = QStringLiteral("[{title}]");
        ZRProductsReport::replaceTag(QStringLiteral("{title}"), c.value, fragment);
        EXPECT_EQ(fragment, QStringLiteral("[%1]").arg(c.expected)) << c.what;
    }
}

TEST_F(ProductsReportTest, PlaceholdersAreFoundInAnyLetterCase)
{
    ProductEntity* product = addProduct(QStringLiteral("Tessera"), QStringLiteral("TS-1"));
    EXPECT_EQ(fill(product, QStringLiteral("{Title}|{TITLE}|{Serial Number}")), QStringLiteral("Tessera|Tessera|TS-1"));
    m_report->setTemplates(QStringLiteral("<body>{Report Content}</body>"), QStringLiteral("{title};"));
    EXPECT_EQ(m_report->reportHTML({product, product}, false), QStringLiteral("<body>Tessera;Tessera;</body>"));
}

TEST_F(ProductsReportTest, EveryFieldFillsItsPlaceholder)
{
    ProductEntity* product = addProduct(QStringLiteral("Tessera"), QStringLiteral("TS-1\nTS-2"));
    product->setProductVersion(QStringLiteral("2.1"));
    product->setPublisher(QStringLiteral("Kiln Works"));
    product->setProductWebsite(QStringLiteral("https://kiln.example"));
    product->setProductEmail(QStringLiteral("help@kiln.example"));
    product->setRegisteredName(QStringLiteral("Ada"));
    product->setRegisteredEmail(QStringLiteral("ada@example.com"));
    product->setRegisteredCompany(QStringLiteral("Analytical"));
    product->setPurchaseOrderNumber(QStringLiteral("ORD-9"));
    product->setPurchasePrice(price("29.95"));
    product->setPurchaseCurrency(QStringLiteral("$"));
    product->setComments(QByteArray("line one\nline two"));
    const QString filled = fill(product,
                                QStringLiteral("{version}|{publisher}|{product website}|{support email}|"
                                               "{serial number}|{registered name}|{registered email}|"
                                               "{registered company}|{purchase currency}{purchase price}|"
                                               "{order number}|{notes}"));
    EXPECT_EQ(filled,
              QStringLiteral("2.1|Kiln Works|https://kiln.example|help@kiln.example|TS-1<br/>TS-2|Ada|"
                             "ada@example.com|Analytical|$29.95|ORD-9|line one<br/>line two"));
}

TEST_F(ProductsReportTest, NotesOfOlderVersionsInRtfPrintAsPlainText)
{
    ProductEntity* product = addProduct(QStringLiteral("Tessera"));
    product->setComments(QByteArray("{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0\\b Keep\\b0  safe\\par second}"));
    EXPECT_EQ(fill(product, QStringLiteral("{notes}")), QStringLiteral("Keep safe<br/>second"));
    // UTF-8 notes that only mention RTF stay as they are.
    product->setComments(QByteArray("see {\\rtf1 later"));
    EXPECT_EQ(fill(product, QStringLiteral("{notes}")), QStringLiteral("see &#123;\\rtf1 later"));
}

TEST_F(ProductsReportTest, AProductWithoutAPriceShowsNoCurrency)
{
    ProductEntity* product = addProduct(QStringLiteral("Tessera"));
    product->setPurchaseCurrency(QStringLiteral("€"));
    EXPECT_EQ(fill(product, QStringLiteral("[{purchase currency}][{purchase price}]")), QStringLiteral("[][]"));
    product->setPurchasePrice(price("1234.5"));
    EXPECT_EQ(fill(product, QStringLiteral("[{purchase currency}][{purchase price}]")),
              QStringLiteral("[€][1,234.50]"));
}

TEST_F(ProductsReportTest, LicenceRowsAppearOnlyForTheFieldsThatAreSet)
{
    ProductEntity* product = addProduct(QStringLiteral("Tessera"));
    EXPECT_EQ(fill(product, QStringLiteral("[{licence rows}]")), QStringLiteral("[]"));

    product->setLicenseType(QStringLiteral("<subscription>"));
    product->setRenewalPrice(price("1234.5"));
    product->setPurchaseCurrency(QStringLiteral("€"));
    product->setSeats(0);
    const QString rows = fill(product, QStringLiteral("[{licence rows}]"));
    EXPECT_EQ(rows.count(QStringLiteral("<tr>")), 3) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("&lt;subscription&gt;"))) << "values are escaped";
    EXPECT_TRUE(rows.contains(QStringLiteral(">€ 1,234.50<"))) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral(">Seats<")));
    EXPECT_FALSE(rows.contains(QStringLiteral("Expiry")));
}

TEST_F(ProductsReportTest, PageBreaksSeparateProductsOnlyWhenAskedFor)
{
    ProductEntity* a = addProduct(QStringLiteral("A"));
    ProductEntity* b = addProduct(QStringLiteral("B"));
    ProductEntity* c = addProduct(QStringLiteral("C"));
    m_report->setTemplates(QStringLiteral("{report content}"), QStringLiteral("[{title}]"));
    const QString tag = ZRProductsReport::pageBreakTag();
    EXPECT_EQ(m_report->reportHTML({a, b, c}, true), QStringLiteral("[A]%1[B]%1[C]").arg(tag));
    EXPECT_EQ(m_report->reportHTML({a, b, c}, false), QStringLiteral("[A][B][C]"));
    EXPECT_EQ(m_report->reportHTML({a}, true), QStringLiteral("[A]"));
    EXPECT_EQ(m_report->reportHTML({}, true), QString());
}

TEST_F(ProductsReportTest, TheShippedTemplatesHoldEveryPlaceholderAndThePageBreakStyle)
{
    const QString fragment = m_report->fragmentTemplate();
    for (const char* tag :
         {"{title}", "{version}", "{icon url}", "{publisher}", "{product website}", "{support email}",
          "{serial number}", "{registered name}", "{registered email}", "{registered company}", "{purchase date}",
          "{purchase price}", "{purchase currency}", "{order number}", "{notes}", "{licence rows}"}) {
        EXPECT_TRUE(fragment.contains(QLatin1String(tag))) << tag;
    }
    EXPECT_TRUE(m_report->pageTemplate().contains(QLatin1String("{report content}")));
    EXPECT_TRUE(m_report->pageTemplate().contains(QLatin1String(".breakhere { page-break-before: always; }")));
}

TEST_F(ProductsReportTest, IconsAreCachedAt64PixelsUnderTheIconUuid)
{
    ProductEntity* product = addProduct(QStringLiteral("Tessera"));
    const IconEntity* icon = addIcon(product);
    const QUrl url(fill(product, QStringLiteral("{icon url}")));
    ASSERT_TRUE(url.isLocalFile());
    const QFileInfo cached(url.toLocalFile());
    EXPECT_EQ(cached.fileName(), icon->uuid() + QStringLiteral(".TIFF"));
    EXPECT_EQ(cached.absolutePath(), QFileInfo(ZRCacheFileManager::defaultManager().cacheFolder()).absoluteFilePath());
    EXPECT_EQ(QImage(cached.filePath()).size(), QSize(64, 64));

    ProductEntity* plain = addProduct(QStringLiteral("Plain"));
    m_log.clear();
    EXPECT_EQ(fill(plain, QStringLiteral("[{icon url}]")), QStringLiteral("[]"));
    EXPECT_TRUE(logged(QStringLiteral("image or uuid not supplied for caching.")));
}

TEST_F(ProductsReportTest, AllProductsAreSortedByTitleIgnoringCase)
{
    addProduct(QStringLiteral("beta"));
    addProduct(QStringLiteral("Alpha"));
    addProduct(QStringLiteral("gamma"));
    ASSERT_TRUE(m_delegate->saveAction());
    const auto products = ZRProductsReport::summaryReportData(m_report->managedObjectContext());
    ASSERT_TRUE(products);
    QStringList titles;
    for (const ProductEntity* product : *products) {
        titles.append(product->title());
    }
    EXPECT_EQ(titles,
              QStringList({QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma"),
                           QStringLiteral("Keymoor"), QStringLiteral("Northwind Notes")}));
}

} // namespace
