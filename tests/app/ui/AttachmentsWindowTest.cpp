#include "../../support/TestImages.h"
#include "UiTestLibrary.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "plist/PropertyList.h"
#include "report/DocumentPrinter.h"
#include "report/PrintPanel.h"
#include "support/WidgetLookup.h"
#include "ui/AttachmentsWindowController.h"
#include "ui/MainWindow.h"
#include "ui/ZREmailHeaderBox.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

// Prints into a PDF file instead of asking for a printer.
class PdfPrintPanel : public PrintPanel
{
public:
    explicit PdfPrintPanel(QString path)
        : m_path(std::move(path))
    { }

    Result printDocument(QTextDocument& document, bool, QString* error) override
    {
        ++documents;
        return DocumentPrinter::printToPdf(document, m_path, error) ? Result::Printed : Result::Failed;
    }

    Result printPages(const QString&, const PagePainter& paint, bool, QString* error) override
    {
        ++pictures;
        QPdfWriter writer(m_path);
        writer.setResolution(150);
        return paint(&writer, error) ? Result::Printed : Result::Failed;
    }

    int documents = 0;
    int pictures = 0;

private:
    QString m_path;
};

QByteArray pngBytes(const QSize& size)
{
    return encodedImage(size, Qt::darkBlue);
}

class AttachmentsWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_product = UiTestLibrary::addProduct(m_controller->managedObjectContext(), QStringLiteral("Northwind Notes"));
    }

    AttachmentEntity* attach(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_scratch.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        return m_product->attachDocument(file.fileName());
    }

    QByteArray twoPagePdf()
    {
        const QString path = m_scratch.filePath(QStringLiteral("source.pdf"));
        QPdfWriter writer(path);
        QPainter painter(&writer);
        painter.drawText(QPointF(100, 100), QStringLiteral("First page"));
        writer.newPage();
        painter.drawText(QPointF(100, 100), QStringLiteral("Second page"));
        painter.end();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static int pdfPages(const QString& path)
    {
        QPdfDocument pdf;
        return pdf.load(path) == QPdfDocument::Error::None ? pdf.pageCount() : -1;
    }

    static QList<AttachmentsWindowController*> viewers()
    {
        QList<AttachmentsWindowController*> found;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* viewer = qobject_cast<AttachmentsWindowController*>(widget); viewer && viewer->isVisible()) {
                found.append(viewer);
            }
        }
        return found;
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    ProductEntity* m_product = nullptr;
    QTemporaryDir m_scratch;
};

TEST_F(AttachmentsWindowTest, EachAttachedFileOpensInOneWindowOfItsOwnWithTheRightView)
{
    MainWindow window(m_controller.get());
    AttachmentEntity* pdf = attach(QStringLiteral("receipt.pdf"), twoPagePdf());
    AttachmentEntity* image = attach(QStringLiteral("shot.png"), pngBytes(QSize(40, 20)));
    AttachmentEntity* text = attach(QStringLiteral("key.txt"), "KEY-9");
    AttachmentEntity* zip = attach(QStringLiteral("tool.zip"), "PK");
    ASSERT_TRUE(pdf && image && text && zip);

    m_controller->openAttachedFileWindow(pdf);
    m_controller->openAttachedFileWindow(pdf);
    ASSERT_EQ(viewers().size(), 1);
    AttachmentsWindowController* viewer = viewers().first();
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("receipt.pdf"));
    EXPECT_NE(qobject_cast<QPdfView*>(child<QWidget>(*viewer, "specializedContentView")), nullptr);
    // The attached file was saved first, so the window knows it by its permanent identifier.
    EXPECT_FALSE(pdf->objectID().isTemporary());

    m_controller->openAttachedFileWindow(image);
    m_controller->openAttachedFileWindow(text);
    m_controller->openAttachedFileWindow(zip);
    EXPECT_EQ(viewers().size(), 4);
    for (AttachmentsWindowController* shown : viewers()) {
        QWidget* view = child<QWidget>(*shown, "specializedContentView");
        if (shown->attachment() == text) {
            ASSERT_NE(qobject_cast<QPlainTextEdit*>(view), nullptr);
            EXPECT_EQ(qobject_cast<QPlainTextEdit*>(view)->toPlainText(), QStringLiteral("KEY-9"));
        } else if (shown->attachment() == zip) {
            EXPECT_NE(qobject_cast<QLabel*>(view), nullptr);
        }
    }
}

TEST_F(AttachmentsWindowTest, AnHtmlMessageShowsItsInlineImageButLoadsNothingFromOutside)
{
    attach(QStringLiteral("logo.png"), pngBytes(QSize(12, 7)));
    AttachedEmail* email = AttachedEmail::insertAttachmentForRawSource(
        QStringLiteral("From: shop@example.com\nTo: me@example.com\nSubject: Receipt\nMIME-Version: 1.0\n"
                       "Content-Type: text/html; charset=utf-8\n\n<html><body><img src=\"cid:LOGO.PNG\">"
                       "<img src=\"https://tracker.example.net/p.gif\"><img src=\"file:///etc/hostname\">"
                       "<p>Key ABC</p></body></html>\n"),
        m_controller->managedObjectContext());
    ASSERT_NE(email, nullptr);
    email->setProduct(m_product);
    ASSERT_TRUE(m_controller->saveAction());

    AttachmentsWindowController viewer(m_controller.get());
    ASSERT_TRUE(viewer.showWindowForObjectID(email->objectID()));
    auto* browser = qobject_cast<QTextBrowser*>(child<QWidget>(viewer, "specializedContentView"));
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QLatin1String("Key ABC")));
    EXPECT_FALSE(child<ZREmailHeaderBox>(viewer, "emailHeader")->isHidden());
    EXPECT_TRUE(child<ZREmailHeaderBox>(viewer, "emailHeader")->text().contains(QLatin1String("shop@example.com")));
    EXPECT_TRUE(child<ZREmailHeaderBox>(viewer, "emailHeader")->text().contains(QLatin1String("Receipt")));
    QTextDocument* document = browser->document();
    const QImage inlined
        = qvariant_cast<QImage>(document->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("cid:LOGO.PNG"))));
    EXPECT_EQ(inlined.size(), QSize(12, 7));
    for (const char* outside : {"https://tracker.example.net/p.gif", "file:///etc/hostname"}) {
        const QImage refused = qvariant_cast<QImage>(
            document->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(outside))));
        EXPECT_LE(refused.width(), 1) << outside;
    }
}

TEST_F(AttachmentsWindowTest, PrintingFollowsTheKindOfFileShown)
{
    AttachmentEntity* pdf = attach(QStringLiteral("receipt.pdf"), twoPagePdf());
    AttachmentEntity* image = attach(QStringLiteral("shot.png"), pngBytes(QSize(300, 200)));
    AttachmentEntity* text = attach(QStringLiteral("key.txt"), "KEY-9");
    AttachmentEntity* zip = attach(QStringLiteral("tool.zip"), "PK");
    ASSERT_TRUE(m_controller->saveAction());
    const QString output = m_scratch.filePath(QStringLiteral("printed.pdf"));
    auto panel = std::make_unique<PdfPrintPanel>(output);
    PdfPrintPanel* printer = panel.get();
    AttachmentsWindowController viewer(m_controller.get());
    viewer.setPrintPanel(std::move(panel));

    ASSERT_TRUE(viewer.showWindowForObjectID(pdf->objectID()));
    EXPECT_TRUE(viewer.printShowingPrintPanel(false));
    EXPECT_EQ(pdfPages(output), 2);
    EXPECT_EQ(printer->pictures, 1);

    ASSERT_TRUE(viewer.showWindowForObjectID(image->objectID()));
    EXPECT_TRUE(child<ZREmailHeaderBox>(viewer, "emailHeader")->isHidden());
    EXPECT_TRUE(viewer.printShowingPrintPanel(false));
    EXPECT_EQ(pdfPages(output), 1);
    EXPECT_EQ(printer->pictures, 2);

    ASSERT_TRUE(viewer.showWindowForObjectID(text->objectID()));
    EXPECT_TRUE(viewer.printShowingPrintPanel(false));
    EXPECT_EQ(printer->documents, 1);
    QPdfDocument printed;
    ASSERT_EQ(printed.load(output), QPdfDocument::Error::None);
    EXPECT_TRUE(printed.getAllText(0).text().contains(QLatin1String("KEY-9")));

    // A file with nothing printable prints nothing and says so by its answer.
    ASSERT_TRUE(viewer.showWindowForObjectID(zip->objectID()));
    EXPECT_FALSE(viewer.printShowingPrintPanel(false));
    EXPECT_EQ(printer->documents + printer->pictures, 3);
}

TEST_F(AttachmentsWindowTest, AnObjectThatIsNoAttachedFileOpensNoWindow)
{
    AttachmentsWindowController viewer(m_controller.get());
    ASSERT_TRUE(m_controller->saveAction());
    EXPECT_FALSE(viewer.showWindowForObjectID(m_product->objectID()));
    EXPECT_FALSE(viewer.isVisible());
    EXPECT_EQ(viewer.attachment(), nullptr);
    EXPECT_FALSE(viewer.printShowingPrintPanel(false));
}

TEST_F(AttachmentsWindowTest, ASavedWebPageShowsWithItsOwnPicturesOnly)
{
    QVariantMap main {{QStringLiteral("WebResourceURL"), QStringLiteral("https://example.com/order.html")},
                      {QStringLiteral("WebResourceData"),
                       QByteArray("<p>Order 42</p><img src=\"logo.png\"><img src=\"https://example.net/x.png\">")},
                      {QStringLiteral("WebResourceTextEncodingName"), QStringLiteral("UTF-8")}};
    QVariantMap logo {{QStringLiteral("WebResourceURL"), QStringLiteral("https://example.com/logo.png")},
                      {QStringLiteral("WebResourceData"), pngBytes(QSize(9, 3))}};
    const QVariantMap archive {{QStringLiteral("WebMainResource"), main},
                               {QStringLiteral("WebSubresources"), QVariantList {logo}}};
    AttachmentEntity* page
        = attach(QStringLiteral("Order.webarchive"), PropertyList::toData(archive, PropertyList::Format::Binary));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(m_controller->saveAction());

    AttachmentsWindowController viewer(m_controller.get());
    ASSERT_TRUE(viewer.showWindowForObjectID(page->objectID()));
    auto* browser = qobject_cast<QTextBrowser*>(child<QWidget>(viewer, "specializedContentView"));
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QLatin1String("Order 42")));
    QTextDocument* document = browser->document();
    const auto image = [document](const char* url) {
        return qvariant_cast<QImage>(document->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(url))));
    };
    EXPECT_EQ(image("logo.png").size(), QSize(9, 3));
    EXPECT_LE(image("https://example.net/x.png").width(), 1);
}

} // namespace
