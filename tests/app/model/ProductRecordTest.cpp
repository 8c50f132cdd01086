#include "AttachmentTestLibrary.h"
#include "addressbook/AddressBookCard.h"
#include "desktop/ApplicationLocator.h"
#include "desktop/DesktopIcons.h"
#include "model/IconEntity.h"
#include "model/ProductBundleInfo.h"
#include "model/ProductIconImage.h"
#include "model/RegistrationAutofill.h"
#include "prefs/PreferenceKeys.h"
#include "support/TestData.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTimeZone>

namespace {

QString recordFixture(const QString& name)
{
    return testDataPath("/record/") + name;
}

QImage decode(const QByteArray& bytes, QByteArray* format = nullptr)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (format) {
        *format = reader.format();
    }
    return reader.read();
}

class ProductRecordTest : public AttachmentTestLibrary
{
protected:
    void TearDown() override
    {
        RegistrationAutofill::setCardPath(QString());
        AttachmentTestLibrary::TearDown();
    }

    ProductEntity* newProduct()
    {
        auto* product = m_context->insert<ProductEntity>(QStringLiteral("Product"));
        EXPECT_NE(product, nullptr);
        return product;
    }
};

// ---- Registration details from the person's own card ----

TEST_F(ProductRecordTest, AutofillTakesTheAddressOfTheProfileAndTheCompanyOnlyForWork)
{
    AddressBookCard full;
    full.formattedName = QStringLiteral("Ada Lovelace");
    full.organization = QStringLiteral("Analytical Engines");
    full.emails = {{QStringLiteral("ada@home.example"), QStringLiteral("home"), 0},
                   {QStringLiteral("ada@work.example"), QStringLiteral("work"), 1}};
    AddressBookCard homeless = full; // no home address, no organisation
    homeless.organization.clear();
    homeless.emails = {{QStringLiteral("ada@work.example"), QStringLiteral("work"), 0}};

    struct Case
    {
        const char* name;
        const AddressBookCard& card;
        const char* profile;
        QVariant email;
        QString company;
    };
    const QString oldCompany = QStringLiteral("Old Company");
    const QVariant oldEmail = QStringLiteral("old@example.com");
    const Case cases[] = {
        {"auto takes the preferred address", full, "Auto", QStringLiteral("ada@work.example"), oldCompany},
        {"home takes the home address", full, "Home", QStringLiteral("ada@home.example"), oldCompany},
        {"work takes the work address and company", full, "Work", QStringLiteral("ada@work.example"),
         QStringLiteral("Analytical Engines")},
        {"home without a home address clears the e-mail", homeless, "Home", QVariant(), oldCompany},
        {"work without an organisation keeps the company", homeless, "Work", QStringLiteral("ada@work.example"),
         oldCompany},
        {"an unknown profile leaves the e-mail alone", full, "Office", oldEmail, oldCompany},
    };
    for (const Case& c : cases) {
        ProductEntity* product = newProduct();
        product->setRegisteredEmail(oldEmail.toString());
        product->setRegisteredCompany(oldCompany);
        RegistrationAutofill::apply(*product, c.card, QString::fromLatin1(c.profile));
        EXPECT_EQ(product->registeredName(), QStringLiteral("Ada Lovelace")) << c.name;
        EXPECT_EQ(product->value(QStringLiteral("registeredEmail")), c.email) << c.name;
        EXPECT_EQ(product->registeredCompany(), c.company) << c.name;
    }
}

TEST_F(ProductRecordTest, NewProductsTakeTheCardWhenThePreferenceIsOn)
{
    RegistrationAutofill::setCardPath(recordFixture(QStringLiteral("me-card-with-home-and-work.vcf")));
    m_defaults.setValue(PreferenceKeys::AddressBookProfile, QStringLiteral("Work"));

    const ProductEntity* filled = newProduct();
    EXPECT_EQ(filled->registeredName(), QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(filled->registeredEmail(), QStringLiteral("ada@work.example"));
    EXPECT_EQ(filled->registeredCompany(), QStringLiteral("Analytical Engines"));
    EXPECT_EQ(filled->purchaseCurrency(), QStringLiteral("$"));
    EXPECT_EQ(filled->uuid().size(), 36);

    m_defaults.setValue(PreferenceKeys::DefaultUserInfoToAddressBook, false);
    const ProductEntity* plain = newProduct();
    EXPECT_TRUE(plain->registeredName().isEmpty());
    EXPECT_TRUE(plain->registeredEmail().isEmpty());

    // A card file that is no vCard changes nothing rather than filling in garbage.
    m_defaults.setValue(PreferenceKeys::DefaultUserInfoToAddressBook, true);
    RegistrationAutofill::setCardPath(recordFixture(QStringLiteral("not-an-image.txt")));
    EXPECT_TRUE(newProduct()->registeredName().isEmpty());

    // The card is read once for many products, but a card edited meanwhile is read again.
    QTemporaryDir folder;
    const QString card = folder.filePath(QStringLiteral("me.vcf"));
    const auto writeCard = [&card](const char* name) {
        QFile file(card);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:") + name + "\r\nEND:VCARD\r\n");
    };
    writeCard("Grace Hopper");
    RegistrationAutofill::setCardPath(card);
    EXPECT_EQ(newProduct()->registeredName(), QStringLiteral("Grace Hopper"));
    EXPECT_EQ(newProduct()->registeredName(), QStringLiteral("Grace Hopper"));
    writeCard("Katherine Johnson");
    EXPECT_EQ(newProduct()->registeredName(), QStringLiteral("Katherine Johnson"));
}

// ---- Notes ----

TEST_F(ProductRecordTest, NotesReadEveryStoredFormAsText)
{
    struct Case
    {
        const char* name;
        QByteArray stored;
        QString text;
    };
    const Case cases[] = {
        {"UTF-8", QByteArray("Serial in the e-mail \xe2\x80\x94 see attachment"),
         QStringLiteral("Serial in the e-mail \u2014 see attachment")},
        {"RTF of an older version",
         QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss Helvetica;}\n"
                    "\\f0\\fs24 Bought at the \\'abbundle\\'bb\\par\nSecond line}"),
         QStringLiteral("Bought at the \u00abbundle\u00bb\nSecond line")},
        {"plain text quoting RTF stays as typed", QByteArray("To read it: {\\rtf1 is how RTF starts"),
         QStringLiteral("To read it: {\\rtf1 is how RTF starts")},
        {"bytes that are no UTF-8", QByteArray("Caf\xe9 license"), QStringLiteral("Caf\u00e9 license")},
    };
    for (const Case& c : cases) {
        ProductEntity* product = newProduct();
        product->setComments(c.stored);
        EXPECT_EQ(product->commentsString(), c.text) << c.name;
        EXPECT_EQ(product->value(QStringLiteral("commentsString")).toString(), c.text) << c.name;
    }
    EXPECT_TRUE(newProduct()->commentsString().isNull());
}

TEST_F(ProductRecordTest, EditingRichTextNotesStoresUtf8AndUndoBringsTheOldBytesBack)
{
    const QByteArray rtf("{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Licence for two seats}");
    m_product->setComments(rtf);
    ASSERT_TRUE(m_delegate->saveAction());
    m_context->setUndoEnabled(true);

    ASSERT_TRUE(m_product->setCommentsString(m_product->commentsString() + QStringLiteral("\nRenewed \u2713")));
    EXPECT_EQ(m_product->comments(), QStringLiteral("Licence for two seats\nRenewed \u2713").toUtf8());

    m_context->undo();
    EXPECT_EQ(m_product->comments(), rtf);
    EXPECT_EQ(m_product->commentsString(), QStringLiteral("Licence for two seats"));

    // Emptying the notes removes them.
    m_product->setCommentsString(QString());
    EXPECT_TRUE(m_product->comments().isNull());
}

// ---- Written dates ----

TEST_F(ProductRecordTest, LicenceFieldsAreOptionalAndDatesKeepTheirDayInEveryZone)
{
    ProductEntity* product = newProduct();
    EXPECT_TRUE(product->licenseType().isEmpty());
    EXPECT_FALSE(product->expiryDate().isValid());
    EXPECT_FALSE(product->renewalPeriodMonths().has_value());
    EXPECT_FALSE(product->seats().has_value());
    EXPECT_FALSE(product->renewalPrice().has_value());
    EXPECT_EQ(product->effectiveRemindDaysBefore(), 30);
    EXPECT_FALSE(product->isArchived());

    ASSERT_TRUE(product->setExpiryDate(QDate(2027, 1, 15)));
    ASSERT_TRUE(product->setRenewalDate(QDate(2026, 12, 31)));
    ASSERT_TRUE(product->setRenewalPeriodMonths(12));
    ASSERT_TRUE(product->setSeats(0));
    ASSERT_TRUE(product->setRemindDaysBefore(7));
    ASSERT_TRUE(product->setRenewalPrice(Persistence::Decimal::fromString(QStringLiteral("49.00"))));
    ASSERT_TRUE(product->setArchived(true));
    ASSERT_TRUE(m_delegate->saveAction());

    // A calendar date is the same day wherever the library is opened.
    const QByteArray zone = qgetenv("TZ");
    for (const char* tz : {"Pacific/Kiritimati", "Pacific/Pago_Pago", "UTC"}) {
        qputenv("TZ", tz);
        EXPECT_EQ(product->expiryDate(), QDate(2027, 1, 15)) << tz;
        EXPECT_EQ(product->renewalDate(), QDate(2026, 12, 31)) << tz;
    }
    qputenv("TZ", zone);
    EXPECT_EQ(product->renewalPeriodMonths(), 12);
    EXPECT_EQ(product->seats(), 0); // zero is a value, not "not stated"
    EXPECT_EQ(product->effectiveRemindDaysBefore(), 7);
    EXPECT_EQ(product->renewalPrice()->toString(), QStringLiteral("49.00"));
    EXPECT_TRUE(product->isArchived());

    ASSERT_TRUE(product->setExpiryDate(QDate()));
    ASSERT_TRUE(product->setSeats(std::nullopt));
    EXPECT_FALSE(product->expiryDate().isValid());
    EXPECT_FALSE(product->seats().has_value());
}

TEST_F(ProductRecordTest, PurchaseDateAcceptsTheUsualWrittenForms)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
    struct Case
    {
        const char* text;
        QLocale locale;
        QDate day; // local day
        QDateTime moment; // exact moment when the text names a zone
    };
    const Case cases[] = {
        {"2009-03-04", us, QDate(2009, 3, 4), {}},
        {"2009-03-04T10:20:30Z", us, {}, QDateTime(QDate(2009, 3, 4), QTime(10, 20, 30), QTimeZone::utc())},
        {"Wed, 4 Mar 2009 10:20:30 +0100", us, {}, QDateTime(QDate(2009, 3, 4), QTime(9, 20, 30), QTimeZone::utc())},
        {"March 3, 2009", us, QDate(2009, 3, 3), {}},
        {"3 Mar 2009", uk, QDate(2009, 3, 3), {}},
        {"03/04/2009", us, QDate(2009, 3, 4), {}},
        {"03/04/2009", uk, QDate(2009, 4, 3), {}},
        {"3 Mar 2009 4:15 PM", us, QDate(2009, 3, 3), {}},
    };
    for (const Case& c : cases) {
        m_product->setPurchaseDate(QDateTime());
        ASSERT_TRUE(m_product->setPurchaseDateString(QString::fromLatin1(c.text), c.locale)) << c.text;
        if (c.moment.isValid()) {
            EXPECT_EQ(m_product->purchaseDate().toUTC(), c.moment) << c.text;
        } else {
            EXPECT_EQ(m_product->purchaseDate().toLocalTime().date(), c.day) << c.text;
        }
    }
    EXPECT_EQ(m_product->purchaseDate().toLocalTime().time(), QTime(16, 15));

    const QDateTime kept(QDate(2010, 1, 2), QTime(12, 0), QTimeZone::utc());
    for (const char* text : {"", "not a date", "2009-02-30", "soon", "31/31/2009"}) {
        m_product->setPurchaseDate(kept);
        EXPECT_FALSE(m_product->setPurchaseDateString(QString::fromLatin1(text), us)) << text;
        EXPECT_EQ(m_product->purchaseDate(), kept) << text;
    }
}

// ---- Bundle information ----

TEST_F(ProductRecordTest, BundleInformationFromXmlBinaryAndLocalizedPropertyLists)
{
    struct Case
    {
        const char* bundle;
        const char* title;
        const char* version;
        const char* identifier;
        const char* publisher;
        const char* website;
    };
    const Case cases[] = {
        // Info.plist's name wins over the localized one.
        {"Sample.app", "Sample", "2.4.1", "net.example.Sample", "Example Software", "http://example.net"},
        {"BinaryInfo.app", "Binary Sample", "1.0b2", "org.example.tools.BinarySample", "Binary Tools Ltd",
         "http://tools.example.org"},
        // Only CFBundleVersion and CFBundleExecutable; an identifier of one part makes no website.
        {"BuildNumberOnly.app", "BuildNumberOnly", "1234", "Solo", "Kept Publisher", "http://kept.example"},
        // No name in Info.plist: the localized one.
        {"LocalizedName.app", "Localized Name", "3.0", "", "Kept Publisher", "http://kept.example"},
    };
    for (const Case& c : cases) {
        ProductEntity* product = newProduct();
        product->setPublisher(QStringLiteral("Kept Publisher"));
        product->setProductWebsite(QStringLiteral("http://kept.example"));
        ASSERT_TRUE(product->setBundleInfoFromAppPath(recordFixture(QString::fromLatin1(c.bundle)))) << c.bundle;
        EXPECT_EQ(product->title(), QString::fromUtf8(c.title)) << c.bundle;
        EXPECT_EQ(product->productVersion(), QString::fromLatin1(c.version)) << c.bundle;
        EXPECT_EQ(product->bundleIdentifier(), QString::fromLatin1(c.identifier)) << c.bundle;
        EXPECT_EQ(product->publisher(), QString::fromLatin1(c.publisher)) << c.bundle;
        EXPECT_EQ(product->productWebsite(), QString::fromLatin1(c.website)) << c.bundle;
    }
}

TEST_F(ProductRecordTest, BasicInformationLeavesPublisherAndWebsiteAndNonBundlesChangeNothing)
{
    m_product->setPublisher(QStringLiteral("Mine"));
    ASSERT_TRUE(m_product->setBasicBundleInfoFromAppPath(recordFixture(QStringLiteral("Sample.app"))));
    EXPECT_EQ(m_product->title(), QStringLiteral("Sample"));
    EXPECT_EQ(m_product->publisher(), QStringLiteral("Mine"));
    EXPECT_TRUE(m_product->productWebsite().isEmpty());

    for (const QString& path : {recordFixture(QStringLiteral("not-an-image.txt")),
                                recordFixture(QStringLiteral("Missing.app")), m_scratch.path()}) {
        EXPECT_FALSE(m_product->setBundleInfoFromAppPath(path)) << path.toStdString();
        EXPECT_EQ(m_product->title(), QStringLiteral("Sample"));
        EXPECT_EQ(m_product->productVersion(), QStringLiteral("2.4.1"));
    }
}

TEST(ProductBundleInfo, WebsiteFromIdentifierAndTitleFromPath)
{
    const QPair<const char*, const char*> websites[] = {
        {"com.example.App", "http://example.com"},
        {"org.example.tools.App", "http://tools.example.org"},
        {"com.example", "http://com"},
        {"Solo", ""},
        {"", ""},
        {"com.exa mple.App", ""},
    };
    for (const auto& [identifier, website] : websites) {
        EXPECT_EQ(ProductBundleInfo::websiteForBundleIdentifier(QString::fromLatin1(identifier)),
                  QString::fromLatin1(website))
            << identifier;
    }

    const QPair<const char*, const char*> titles[] = {
        {"/Applications/Foo.app", "Foo"},  {"/Applications/Foo.app.app", "Foo"},
        {"/Applications/Foo.APP", "Foo"},  {"/Applications/Net.application.app", "Net.application"},
        {"/Applications/Foo.app/", "Foo"}, {"/usr/bin/NoExtension", "NoExtension"},
        {"Bar.prefPane", "Bar"},
    };
    for (const auto& [path, title] : titles) {
        EXPECT_EQ(ProductBundleInfo::titleFromPath(QString::fromLatin1(path)), QString::fromLatin1(title)) << path;
    }
}

// ---- Icons ----

TEST_F(ProductRecordTest, IconIsA512SquareTiffAndReplacingItKeepsOneIconRecord)
{
    const int ownIcons = count(QStringLiteral("Icon")); // Keymoor's own record has one
    const QString image = recordFixture(QStringLiteral("Sample.app/Contents/Resources/Sample.png"));
    ASSERT_TRUE(m_product->setExternalIconFromAppPath(image));
    const QString firstFile = m_product->appIcon()->filePath();
    ASSERT_TRUE(m_product->setExternalIconFromAppPath(recordFixture(QStringLiteral("Sample.app"))));
    ASSERT_TRUE(m_delegate->saveAction());
    EXPECT_EQ(count(QStringLiteral("Icon")), ownIcons + 1);
    EXPECT_NE(m_product->appIcon()->filePath(), firstFile);

    QByteArray format;
    const QImage icon = decode(m_product->externalIcon(), &format);
    EXPECT_EQ(format, QByteArray("tiff"));
    EXPECT_EQ(icon.size(), QSize(512, 512));
    // The 64 x 32 red picture keeps its proportions: red across the middle, clear above and below.
    EXPECT_EQ(icon.pixelColor(256, 256), QColor(200, 40, 40));
    EXPECT_EQ(icon.pixelColor(256, 20).alpha(), 0);
}

TEST_F(ProductRecordTest, FileThatIsNoImageGivesItsFileIconAndBadBytesKeepTheOldIcon)
{
    const int ownIcons = count(QStringLiteral("Icon"));
    const QString notes = recordFixture(QStringLiteral("not-an-image.txt"));
    ASSERT_TRUE(m_product->setExternalIconFromAppPath(notes));
    const QImage expected = ProductIconImage::iconImage(DesktopIcons::iconForFile(notes, 512));
    EXPECT_EQ(decode(m_product->externalIcon()).convertToFormat(QImage::Format_ARGB32),
              expected.convertToFormat(QImage::Format_ARGB32));

    const QByteArray before = m_product->externalIcon();
    EXPECT_FALSE(m_product->setExternalIcon(QByteArrayLiteral("GIF89a but not really")));
    EXPECT_FALSE(m_product->setExternalIconFromAppPath(recordFixture(QStringLiteral("Missing.png"))));
    EXPECT_EQ(m_product->externalIcon(), before);
    EXPECT_EQ(count(QStringLiteral("Icon")), ownIcons + 1);

    // No bytes at all: the generic application icon.
    ASSERT_TRUE(m_product->setExternalIcon(QByteArray()));
    EXPECT_EQ(decode(m_product->externalIcon()).size(), QSize(512, 512));
    EXPECT_NE(m_product->externalIcon(), before);
}

TEST_F(ProductRecordTest, UndoOfAnIconChangeBringsTheOldIconBack)
{
    ASSERT_TRUE(m_product->setExternalIcon(QByteArray()));
    ASSERT_TRUE(m_delegate->saveAction());
    const QByteArray generic = m_product->externalIcon();
    m_context->setUndoEnabled(true);
    m_context->undoManager()->beginGroup();
    ASSERT_TRUE(m_product->setExternalIconFromAppPath(recordFixture(QStringLiteral("Sample.app"))));
    m_context->undoManager()->endGroup();
    ASSERT_NE(m_product->externalIcon(), generic);
    m_context->undo();
    EXPECT_EQ(m_product->externalIcon(), generic);
}

// ---- Launchable ----

TEST_F(ProductRecordTest, LaunchableByIdentifierOrTitleButNeverKeymoorItself)
{
    QDir(m_scratch.path()).mkpath(QStringLiteral("Keymoor.app/Contents"));
    writeFile(QStringLiteral("Keymoor.app/Contents/Info.plist"),
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleName</key><string>Keymoor</string>"
              "</dict></plist>");
    ApplicationLocator locator({recordFixture(QString()), m_scratch.path()});

    ProductEntity* byIdentifier = newProduct();
    byIdentifier->setTitle(QStringLiteral("Renamed by the person"));
    byIdentifier->setBundleIdentifier(QStringLiteral("net.example.Sample"));
    EXPECT_TRUE(byIdentifier->isLaunchable(locator));

    ProductEntity* byTitle = newProduct();
    byTitle->setTitle(QStringLiteral("Binary Sample"));
    EXPECT_TRUE(byTitle->isLaunchable(locator));

    ProductEntity* missing = newProduct();
    missing->setTitle(QStringLiteral("Not Installed"));
    missing->setBundleIdentifier(QStringLiteral("com.example.NotInstalled"));
    EXPECT_FALSE(missing->isLaunchable(locator));

    ProductEntity* own = newProduct();
    own->setTitle(QStringLiteral("Keymoor"));
    EXPECT_FALSE(own->isLaunchable(locator));
}

} // namespace
