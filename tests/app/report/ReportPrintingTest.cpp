#include "ReportTestLibrary.h"
#include "core/KeymoorAppDelegate.h"
#include "prefs/UserPreferences.h"
#include "report/DocumentPrinter.h"
#include "report/OfflineTextDocument.h"
#include "report/PrintPanel.h"
#include "report/ZRProductsReport.h"

#include <QFileInfo>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {

// Pages of a PDF file and the text of each.
QStringList pdfPageTexts(const QString& path)
{
    QPdfDocument pdf;
    if (pdf.load(path) != QPdfDocument::Error::None) {
        return {QStringLiteral("<unreadable>")};
    }
    QStringList pages;
    for (int page = 0; page < pdf.pageCount(); ++page) {
        pages.append(pdf.getAllText(page).text());
    }
    return pages;
}

// Prints into a PDF file instead of asking for a printer, and remembers what it was asked.
class PdfPrintPanel : public PrintPanel
{
public:
    explicit PdfPrintPanel(QString path)
        : m_path(std::move(path))
    { }

    Result printDocument(QTextDocument& document, bool showPrintPanel, QString* error) override
    {
        ++calls;
        shownPanel = showPrintPanel;
        if (answer != Result::Printed) {
            if (error) {
                *error = QStringLiteral("the printer is on fire");
            }
            return answer;
        }
        return DocumentPrinter::printToPdf(document, m_path, error) ? Result::Printed : Result::Failed;
    }

    int calls = 0;
    bool shownPanel = false;
    Result answer = Result::Printed;

private:
    QString m_path;
};

class ReportPrintingTest : public ReportTestLibrary
{
protected:
    void SetUp() override
    {
        ReportTestLibrary::SetUp();
        m_delegate->setPrintPanel(&m_panel);
        m_delegate->setSelectedProductProvider([this] { return m_selected; });
        m_delegate->userPrefs().setPrintAllOneAppPerPage(true);
        // Keymoor's own record and Northwind Notes are there already: three products in all.
        addProduct(QStringLiteral("Tessera"), QStringLiteral("TESSERA-SERIAL-0001"));
        ownProduct()->setSerialNumber(QStringLiteral("KEYMOOR-SERIAL-0002"));
        m_product->setSerialNumber(QStringLiteral("NORTHWIND-SERIAL-0003"));
    }
    void TearDown() override
    {
        m_delegate->setPrintPanel(nullptr);
        ReportTestLibrary::TearDown();
    }

    ProductEntity* ownProduct() { return m_delegate->ownProduct(); }
    QString pdfPath() const { return m_output.filePath(QStringLiteral("report.pdf")); }

    QTemporaryDir m_output;
    PdfPrintPanel m_panel {m_output.filePath(QStringLiteral("report.pdf"))};
    ProductEntity* m_selected = nullptr;
};

TEST_F(ReportPrintingTest, PrintAllPutsEachProductOnAPageOfItsOwn)
{
    ASSERT_TRUE(m_delegate->printAll());
    EXPECT_TRUE(m_panel.shownPanel);
    const QStringList pages = pdfPageTexts(pdfPath());
    ASSERT_EQ(pages.size(), 3);
    // Sorted by title: Keymoor, Northwind Notes, Tessera.
    EXPECT_TRUE(pages.at(0).contains(QLatin1String("KEYMOOR-SERIAL-0002"))) << pages.at(0).toStdString();
    EXPECT_TRUE(pages.at(1).contains(QLatin1String("NORTHWIND-SERIAL-0003")));
    EXPECT_TRUE(pages.at(2).contains(QLatin1String("TESSERA-SERIAL-0001")));
    // The edits were saved before the report read the store.
    EXPECT_FALSE(m_context->hasChanges());
}

TEST_F(ReportPrintingTest, WithoutOnePerPageProductsFollowEachOther)
{
    m_delegate->userPrefs().setPrintAllOneAppPerPage(false);
    ASSERT_TRUE(m_delegate->printAll());
    const QStringList pages = pdfPageTexts(pdfPath());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages.at(0).contains(QLatin1String("KEYMOOR-SERIAL-0002")));
    EXPECT_TRUE(pages.at(0).contains(QLatin1String("NORTHWIND-SERIAL-0003")));
    EXPECT_TRUE(pages.join(QString()).contains(QLatin1String("TESSERA-SERIAL-0001")));
}

TEST_F(ReportPrintingTest, PrintShowsTheSelectedProductOnly)
{
    m_selected = m_product;
    ASSERT_TRUE(m_delegate->print());
    const QStringList pages = pdfPageTexts(pdfPath());
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages.first().contains(QLatin1String("NORTHWIND-SERIAL-0003")));
    EXPECT_FALSE(pages.first().contains(QLatin1String("TESSERA")));
    ASSERT_NE(m_delegate->productsReport(), nullptr);
    EXPECT_EQ(m_delegate->productsReport()->product()->title(), QStringLiteral("Northwind Notes"));
    EXPECT_TRUE(m_delegate->productsReport()->showPrintDialog());
}

TEST_F(ReportPrintingTest, PrintWithoutASelectionExplainsAndPrintsNothing)
{
    EXPECT_FALSE(m_delegate->print());
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, QStringLiteral("No Product to Print"));
    EXPECT_EQ(m_ui.alerts().first().message, QStringLiteral("Please select a product to print."));
    EXPECT_EQ(m_ui.alerts().first().buttons, QStringList {QStringLiteral("OK")});
    EXPECT_EQ(m_panel.calls, 0);
}

TEST_F(ReportPrintingTest, AFailedPrintIsShownAndACancelledOneIsNot)
{
    m_panel.answer = PrintPanel::Result::Cancelled;
    EXPECT_FALSE(m_delegate->printAll());
    EXPECT_TRUE(m_ui.errors().isEmpty());
    m_panel.answer = PrintPanel::Result::Failed;
    EXPECT_FALSE(m_delegate->printAll());
    ASSERT_EQ(m_ui.errors().size(), 1);
    EXPECT_EQ(m_ui.errors().first().recoverySuggestion, QStringLiteral("the printer is on fire"));
}

TEST_F(ReportPrintingTest, AProductRemovedBeforePrintingFailsInsteadOfPrintingEverything)
{
    auto report = m_delegate->newProductsReport();
    ProductEntity* gone = addProduct(QStringLiteral("Gone"), QStringLiteral("GONE-1"));
    ASSERT_TRUE(m_delegate->saveAction());
    const Persistence::ObjectID id = gone->objectID();
    m_context->deleteObject(gone);
    ASSERT_TRUE(m_delegate->saveAction());
    QString error;
    EXPECT_EQ(report->printProduct(id, false, true, &m_panel, &error), PrintPanel::Result::Failed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(m_panel.calls, 0);
}

TEST_F(ReportPrintingTest, AWideUnbreakableValueIsFittedToThePageWidth)
{
    addProduct(QStringLiteral("Wide"), QString(400, QLatin1Char('W')));
    ASSERT_TRUE(m_delegate->saveAction());
    auto report = m_delegate->newProductsReport();
    std::unique_ptr<QTextDocument> document = report->printableView(nullptr, false);
    ASSERT_TRUE(document);
    QPdfWriter writer(m_output.filePath(QStringLiteral("wide.pdf")));
    writer.setPageSize(QPageSize(QPageSize::A4));
    DocumentPrinter::pageCount(*document, &writer);
    EXPECT_LE(document->idealWidth(), document->pageSize().width() + 0.5);
}

TEST_F(ReportPrintingTest, MarginsAreThePrintableAreaPlusFivePointsAtTopAndBottom)
{
    EXPECT_EQ(DocumentPrinter::reportMargins(QMarginsF(12, 10, 14, 16)), QMarginsF(12, 15, 14, 21));
    QPdfWriter writer(m_output.filePath(QStringLiteral("margins.pdf")));
    QTextDocument document(QStringLiteral("text"));
    DocumentPrinter::pageCount(document, &writer);
    EXPECT_EQ(writer.pageLayout().margins(QPageLayout::Point), QMarginsF(0, 5, 0, 5));
}

TEST(OfflineTextDocumentTest, LoadsOnlyImagesInsideTheAllowedFolders)
{
    QTemporaryDir allowed;
    QTemporaryDir elsewhere;
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    const QString inside = allowed.filePath(QStringLiteral("icon.png"));
    const QString outside = elsewhere.filePath(QStringLiteral("secret.png"));
    ASSERT_TRUE(image.save(inside));
    ASSERT_TRUE(image.save(outside));
    ASSERT_TRUE(QFile::link(outside, allowed.filePath(QStringLiteral("link.png"))));

    OfflineTextDocument document;
    document.setAllowedImageFolders({allowed.path()});
    struct Case
    {
        QUrl url;
        int type;
        bool loads;
    };
    const QList<Case> cases = {
        {QUrl::fromLocalFile(inside), QTextDocument::ImageResource, true},
        {QUrl::fromLocalFile(outside), QTextDocument::ImageResource, false},
        {QUrl::fromLocalFile(allowed.filePath(QStringLiteral("../") + QFileInfo(outside).dir().dirName()
                                              + QStringLiteral("/secret.png"))),
         QTextDocument::ImageResource, false},
        {QUrl::fromLocalFile(allowed.filePath(QStringLiteral("link.png"))), QTextDocument::ImageResource, false},
        {QUrl::fromLocalFile(inside), QTextDocument::StyleSheetResource, false},
        {QUrl(QStringLiteral("https://tracker.example/pixel.png")), QTextDocument::ImageResource, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(document.isAllowedResource(c.type, c.url), c.loads) << c.url.toString().toStdString();
        // Refused images are blank: one transparent pixel, never the file's picture.
        const QImage loaded = qvariant_cast<QImage>(document.resource(c.type, c.url));
        EXPECT_EQ(loaded.size() == QSize(4, 4), c.loads) << c.url.toString().toStdString();
    }
}

} // namespace
