#include "ReportTestLibrary.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "report/PrintViewText.h"
#include "report/ZREmailPrintView.h"
#include "report/ZRTextPrintView.h"
#include "support/TestData.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace {

class PrintViewsTest : public ReportTestLibrary
{
protected:
    AttachedEmail* attachEmail(const QString& fixtureName)
    {
        const QString text = QString::fromUtf8(readAll(testDataPath("/report/") + fixtureName));
        AttachedEmail* email = AttachedEmail::insertAttachmentForRawSource(text, m_context);
        if (email) {
            email->setProduct(m_product);
        }
        return email;
    }

    AttachmentEntity* attachFile(const QString& name, const QByteArray& bytes)
    {
        AttachmentEntity* file = AttachmentEntity::insertAttachmentForFile(writeFile(name, bytes), m_context);
        if (file) {
            file->setProduct(m_product);
        }
        return file;
    }

    // The character format at the first occurrence of `text`.
    static QTextCharFormat formatAt(const QTextDocument& document, const QString& text)
    {
        QTextCursor cursor = document.find(text);
        cursor.setPosition(cursor.selectionStart() + 1);
        return cursor.charFormat();
    }
};

TEST_F(PrintViewsTest, AnEmailPrintsTheHeaderBlockThenItsPlainText)
{
    AttachedEmail* email = attachEmail(QStringLiteral("plain-receipt.eml"));
    ASSERT_NE(email, nullptr);
    const std::unique_ptr<QTextDocument> document = ZREmailPrintView::printableViewForEmailEntity(*email);
    const QString header
        = QStringLiteral("From:\tKiln Works Store <store@kiln.example>\nSubject:\tYour Tessera licence\n"
                         "Date:\t%1\nTo:\t\tAda Lovelace <ada@example.com>\n\n")
              .arg(email->formattedDateString());
    const QString text = document->toPlainText();
    EXPECT_TRUE(text.startsWith(header)) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("Thank you for buying Tessera.\nSerial: TS-4417-9921")));
    EXPECT_FALSE(email->formattedDateString().isEmpty());

    const QTextCharFormat label = formatAt(*document, QStringLiteral("Subject:"));
    EXPECT_EQ(label.foreground().color(), QColor(Qt::gray));
    EXPECT_EQ(label.fontPointSize(), PrintViewText::FontPointSize);
    const QTextCharFormat subject = formatAt(*document, QStringLiteral("Your Tessera licence"));
    EXPECT_EQ(subject.fontWeight(), QFont::Bold);
    EXPECT_EQ(subject.fontPointSize(), PrintViewText::FontPointSize);
    EXPECT_NE(formatAt(*document, QStringLiteral("store@kiln")).fontWeight(), QFont::Bold);
}

TEST_F(PrintViewsTest, AnHtmlEmailPrintsRenderedWithoutLoadingWhatItNames)
{
    AttachedEmail* email = attachEmail(QStringLiteral("html-receipt-with-remote-image.eml"));
    ASSERT_NE(email, nullptr);
    const std::unique_ptr<QTextDocument> document = ZREmailPrintView::printableViewForEmailEntity(*email);
    const QString text = document->toPlainText();
    EXPECT_TRUE(text.contains(QLatin1String("Your serial: TS-4417-9921"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1String("<b>")));
    EXPECT_FALSE(text.contains(QLatin1String("Plain part")));
    for (const char* url : {"file:///etc/hostname", "https://tracker.example/open.png"}) {
        const QVariant image = document->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(url)));
        EXPECT_EQ(qvariant_cast<QImage>(image).size(), QSize(1, 1)) << url;
    }
}

TEST_F(PrintViewsTest, ATextFilePrintsItsNameDateAndContent)
{
    struct Case
    {
        const char* what;
        QByteArray bytes;
        QString body;
    };
    const QList<Case> cases = {
        {"plain text keeps its markup-like characters", "a < b and <i>x</i>", QStringLiteral("a < b and <i>x</i>")},
        {"a mention of html anywhere renders it", "<p>See the HTML <b>manual</b></p>",
         QStringLiteral("See the HTML manual")},
        {"bytes that are not UTF-8 print nothing", QByteArray("caf\xe9 licence"), QString()},
    };
    for (const Case& c : cases) {
        AttachmentEntity* file = attachFile(QStringLiteral("licence.txt"), c.bytes);
        ASSERT_NE(file, nullptr);
        const std::unique_ptr<QTextDocument> document = ZRTextPrintView::printableViewForAttachment(*file);
        const QString header = QStringLiteral("File:\t\tlicence.txt\nDate:\t%1\n\n").arg(file->formattedDateString());
        EXPECT_EQ(document->toPlainText(), header + c.body) << c.what;
        EXPECT_EQ(formatAt(*document, QStringLiteral("licence.txt")).fontWeight(), QFont::Bold) << c.what;
    }
}

} // namespace
