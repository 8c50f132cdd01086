#include "report/AttachmentViewContent.h"

#include "../../support/TestImages.h"
#include "ReportTestLibrary.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "plist/PropertyList.h"
#include "report/PicturePrinter.h"
#include "report/WebArchive.h"

#include <QBuffer>
#include <QImage>
#include <QPageRanges>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QTemporaryDir>

namespace {

using Kind = AttachmentViewContent::Kind;

QByteArray webArchiveBytes(const QString& html, const QString& encodingName = QStringLiteral("UTF-8"))
{
    QVariantMap main;
    main.insert(QStringLiteral("WebResourceURL"), QStringLiteral("https://example.com/shop/receipt.html"));
    main.insert(QStringLiteral("WebResourceData"), encodingName == u"UTF-8" ? html.toUtf8() : html.toLatin1());
    main.insert(QStringLiteral("WebResourceMIMEType"), QStringLiteral("text/html"));
    main.insert(QStringLiteral("WebResourceTextEncodingName"), encodingName);
    QVariantMap image;
    image.insert(QStringLiteral("WebResourceURL"), QStringLiteral("https://example.com/shop/img/logo.png"));
    image.insert(QStringLiteral("WebResourceData"), encodedImage(QSize(4, 4), Qt::green));
    image.insert(QStringLiteral("WebResourceMIMEType"), QStringLiteral("image/png"));
    QVariantMap archive;
    archive.insert(QStringLiteral("WebMainResource"), main);
    archive.insert(QStringLiteral("WebSubresources"), QVariantList {image});
    return PropertyList::toData(archive, PropertyList::Format::Binary);
}

class AttachmentViewContentTest : public ReportTestLibrary
{
protected:
    AttachmentEntity* attach(const QString& name, const QByteArray& bytes, ProductEntity* product = nullptr)
    {
        auto* attachment = AttachmentEntity::insertAttachmentForFile(writeFile(name, bytes), m_context);
        EXPECT_NE(attachment, nullptr) << name.toStdString();
        if (attachment) {
            attachment->setProduct(product ? product : m_product);
        }
        return attachment;
    }

    AttachedEmail* attachEmail(const QString& source)
    {
        AttachedEmail* email = AttachedEmail::insertAttachmentForRawSource(source, m_context);
        EXPECT_NE(email, nullptr);
        if (email) {
            email->setProduct(m_product);
        }
        return email;
    }
};

TEST_F(AttachmentViewContentTest, EachKindOfFileGetsItsView)
{
    const QByteArray archive = webArchiveBytes(QStringLiteral("<p>Order 77</p>"));
    struct Case
    {
        const char* name;
        QByteArray bytes;
        Kind kind;
    } const cases[] = {
        {"receipt.pdf", "%PDF-1.4", Kind::Pdf},
        {"screen.png", encodedImage(QSize(8, 8), Qt::red), Kind::Image},
        {"licence.txt", "KEY-123", Kind::Text},
        {"Order.webarchive", archive, Kind::WebArchive},
        // Named without the extension the viewer looks for, a saved page is only an icon.
        {"Order.archive", archive, Kind::Icon},
        // Bytes that are no saved page: the icon rather than an empty page.
        {"Broken.webarchive", "not a property list", Kind::Icon},
        {"Tool.zip", "PK", Kind::Icon},
    };
    for (const Case& c : cases) {
        AttachmentEntity* attachment = attach(QString::fromLatin1(c.name), c.bytes);
        ASSERT_NE(attachment, nullptr);
        const AttachmentViewContent content = AttachmentViewContent::forAttachment(*attachment);
        EXPECT_EQ(content.kind(), c.kind) << c.name;
        if (c.kind == Kind::Pdf || c.kind == Kind::Image) {
            EXPECT_EQ(content.filePath(), attachment->contentPath()) << c.name;
        }
    }
    const AttachmentViewContent text = AttachmentViewContent::forAttachment(*attach(QStringLiteral("k.txt"), "KEY-1"));
    EXPECT_EQ(text.text(), QStringLiteral("KEY-1"));
    const AttachmentViewContent page
        = AttachmentViewContent::forAttachment(*attach(QStringLiteral("Page.webarchive"), archive));
    ASSERT_TRUE(page.webArchive().has_value());
    EXPECT_TRUE(page.webArchive()->mainResourceText().contains(QLatin1String("Order 77")));
}

TEST_F(AttachmentViewContentTest, EmailsShowTheirHtmlOrTextAndUnparsableOnesTheirSource)
{
    const QString html
        = QStringLiteral("From: shop@example.com\nTo: me@example.com\nSubject: Your key\n"
                         "MIME-Version: 1.0\nContent-Type: text/html; charset=utf-8\n\n"
                         "<html><body><p>Key: <b>ABC-1</b></p><img src=\"cid:logo.png\"></body></html>\n");
    const AttachmentViewContent rich = AttachmentViewContent::forAttachment(*attachEmail(html));
    EXPECT_EQ(rich.kind(), Kind::Html);
    EXPECT_TRUE(rich.text().contains(QLatin1String("<b>ABC-1</b>")));

    const QString plain = QStringLiteral("FROM: shop@example.com\nTO: me@example.com\nSubject: Key\n\nSerial: XYZ-9\n");
    const AttachmentViewContent text = AttachmentViewContent::forAttachment(*attachEmail(plain));
    EXPECT_EQ(text.kind(), Kind::Text);
    EXPECT_EQ(text.text().trimmed(), QStringLiteral("Serial: XYZ-9"));

    // Without a recipient line the text is not taken apart as a message: all of it is shown.
    const QString note = QStringLiteral("From: shop@example.com\nSubject: Key\n\nSerial: XYZ-9\n");
    const AttachmentViewContent source = AttachmentViewContent::forAttachment(*attachEmail(note));
    EXPECT_EQ(source.kind(), Kind::Text);
    EXPECT_EQ(source.text(), note);
}

TEST_F(AttachmentViewContentTest, TextFilesAreReadAsRichTextOrInAnEncodingThatFits)
{
    const AttachmentViewContent rtf = AttachmentViewContent::forAttachment(
        *attach(QStringLiteral("licence.rtf"), "{\\rtf1\\ansi {\\b Serial:} KEY-42\\par}"));
    EXPECT_EQ(rtf.kind(), Kind::Text);
    EXPECT_EQ(rtf.text().trimmed(), QStringLiteral("Serial: KEY-42"));

    // Not UTF-8: read as Windows Latin-1 instead of showing nothing.
    const AttachmentViewContent latin
        = AttachmentViewContent::forAttachment(*attach(QStringLiteral("note.txt"), "Caf\xe9 licence"));
    EXPECT_EQ(latin.text(), QStringLiteral("Caf\u00e9 licence"));
}

TEST_F(AttachmentViewContentTest, InlinePartsComeFromAttachmentsOfTheSameProductByTheirLiteralName)
{
    const QByteArray logo = encodedImage(QSize(5, 5), Qt::blue);
    attach(QStringLiteral("logo.png"), logo);
    ProductEntity* other = addProduct(QStringLiteral("Other Product"));
    attach(QStringLiteral("banner.png"), encodedImage(QSize(6, 6), Qt::red), other);
    AttachedEmail* email = attachEmail(QStringLiteral("From: a@example.com\nTo: b@example.com\nSubject: Hi\n\nHi\n"));
    ASSERT_NE(email, nullptr);

    EXPECT_EQ(AttachmentViewContent::inlineResource(*email, QStringLiteral("LOGO.PNG")), logo);
    // A name is not a pattern: it cannot pick out other attachments.
    EXPECT_FALSE(AttachmentViewContent::inlineResource(*email, QStringLiteral("*.png")).has_value());
    EXPECT_FALSE(AttachmentViewContent::inlineResource(*email, QStringLiteral("l?go.png")).has_value());
    // Attachments of another product are not reached.
    EXPECT_FALSE(AttachmentViewContent::inlineResource(*email, QStringLiteral("banner.png")).has_value());
}

TEST(WebArchiveTest, ResourcesAreFoundByAbsoluteOrRelativeAddressAndTextInItsEncoding)
{
    const auto archive
        = WebArchive::fromData(webArchiveBytes(QStringLiteral("<p>Caf\u00e9</p>"), QStringLiteral("iso-8859-1")));
    ASSERT_TRUE(archive.has_value());
    EXPECT_EQ(archive->mainResourceText(), QStringLiteral("<p>Caf\u00e9</p>"));
    EXPECT_TRUE(archive->subresource(QUrl(QStringLiteral("https://example.com/shop/img/logo.png"))).has_value());
    EXPECT_TRUE(archive->subresource(QUrl(QStringLiteral("img/logo.png"))).has_value());
    EXPECT_TRUE(archive->subresource(QUrl(QStringLiteral("./img/../img/logo.png"))).has_value());
    EXPECT_FALSE(archive->subresource(QUrl(QStringLiteral("https://tracker.example.net/pixel.gif"))).has_value());

    QString error;
    EXPECT_FALSE(WebArchive::fromData(PropertyList::toData(QVariantList {1, 2}), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

// The area of a rendered page that is painted dark (the rendering leaves the paper transparent).
QRect inkedArea(const QImage& page)
{
    QRect area;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QRgb pixel = page.pixel(x, y);
            if (qAlpha(pixel) > 128 && qGray(pixel) < 200) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

TEST(PicturePrinterTest, PicturesArePlacedAtTheTopCentredAndTurnedToFitThePaper)
{
    // A small picture keeps its size; a large one is scaled down into the area.
    const QRectF area(0, 0, 400, 600);
    EXPECT_EQ(PicturePrinter::placement(QSizeF(100, 50), area, false), QRectF(150, 0, 100, 50));
    EXPECT_EQ(PicturePrinter::placement(QSizeF(100, 50), area, true), QRectF(0, 0, 400, 200));
    EXPECT_EQ(PicturePrinter::placement(QSizeF(800, 600), area, false), QRectF(0, 0, 400, 300));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("pictures.pdf"));
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(72);
        writer.setPageRanges(QPageRanges()); // every page
        QImage landscape(800, 600, QImage::Format_RGB32);
        landscape.fill(Qt::black);
        QString error;
        ASSERT_TRUE(PicturePrinter::print(
            &writer, 3, [&](int, QSize) { return landscape; }, {true, true}, &error))
            << error.toStdString();
    }
    QPdfDocument pdf;
    ASSERT_EQ(pdf.load(path), QPdfDocument::Error::None);
    ASSERT_EQ(pdf.pageCount(), 3);
    const QSizeF paper = pdf.pagePointSize(0);
    const QRect ink = inkedArea(pdf.render(0, paper.toSize()));
    // Turned upright on the portrait page, filling the width inside the margins.
    EXPECT_GT(ink.height(), ink.width());
    EXPECT_NEAR(ink.left(), PicturePrinter::Margin, 2);
    EXPECT_NEAR(ink.top(), PicturePrinter::Margin, 2);
    EXPECT_NEAR(ink.width(), paper.width() - 2 * PicturePrinter::Margin, 3);

    QPdfWriter failing(folder.filePath(QStringLiteral("broken.pdf")));
    QString error;
    EXPECT_FALSE(PicturePrinter::print(
        &failing, 1, [](int, QSize) { return QImage(); }, {}, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
