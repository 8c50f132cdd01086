#include "ui/ProductDetailView.h"

#include "UiTestLibrary.h"
#include "model/ZRCurrencyManager.h"
#include "prefs/UserPreferences.h"
#include "support/TestData.h"
#include "ui/LicenceFieldsBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

class ProductDetailViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_controller = m_library.start(&m_ui);
        m_context = m_controller->managedObjectContext();
        ASSERT_NE(m_context, nullptr);
        m_product = UiTestLibrary::addProduct(m_context, QStringLiteral("Ledger"));
        m_view = std::make_unique<ProductDetailView>(m_context, m_controller->userPrefs());
        m_view->setProduct(m_product);
        m_view->show();
    }

    template<class T>
    T* editor(const char* key)
    {
        return qobject_cast<T*>(m_view->editorForKey(QString::fromLatin1(key)));
    }

    // Replaces a line's text as typed (insert() also takes the characters QTest cannot type) and
    // finishes the edit.
    void type(QLineEdit* field, const QString& text)
    {
        field->selectAll();
        field->insert(text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    void typeCurrency(const QString& symbol)
    {
        auto* currency = editor<QComboBox>("purchaseCurrency");
        type(currency->lineEdit(), symbol);
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_controller;
    ObjectContext* m_context = nullptr;
    ProductEntity* m_product = nullptr;
    std::unique_ptr<ProductDetailView> m_view;
};

// Sets the interface locale for one test.
class InterfaceLocale
{
public:
    explicit InterfaceLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~InterfaceLocale() { QLocale::setDefault(m_previous); }
    Q_DISABLE_COPY_MOVE(InterfaceLocale)

private:
    QLocale m_previous;
};

TEST_F(ProductDetailViewTest, PricesAreReadAndShownTheWayTheInterfaceWritesNumbers)
{
    const InterfaceLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString euro = ZRCurrencyManager::euroCurrencySymbol();
    const struct
    {
        QString currency;
        QString typed;
        QString stored;
        QString shown;
    } cases[] = {
        // The English form is read whatever the currency, and shown with two decimals.
        {euro, "1,299.00", "1299", "1,299.00"},
        {ZRCurrencyManager::yenCurrencySymbol(), "1,299", "1299", "1,299"},
        {"$", "", "", ""},
    };
    auto* price = editor<QLineEdit>("purchasePrice");
    for (const auto& entry : cases) {
        typeCurrency(entry.currency);
        type(price, entry.typed);
        const auto stored = m_product->purchasePrice();
        EXPECT_EQ(stored ? stored->toString() : QString(), entry.stored) << entry.typed.toStdString();
        EXPECT_EQ(price->text(), entry.shown) << entry.typed.toStdString();
        EXPECT_TRUE(m_view->refusal().isEmpty()) << entry.typed.toStdString();
    }

    // A German interface reads and shows its own separators.
    const InterfaceLocale german(QLocale(QLocale::German, QLocale::Germany));
    typeCurrency(euro);
    type(price, QStringLiteral("1.299,00"));
    EXPECT_EQ(m_product->purchasePrice(), Decimal(1299, 0));
    EXPECT_EQ(price->text(), QStringLiteral("1.299,00"));
}

TEST_F(ProductDetailViewTest, TextThatIsNoPriceIsRefusedVisiblyAndTheStoredPriceStays)
{
    const InterfaceLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    m_product->setPurchasePrice(Decimal(1000, 2));
    m_view->reload();
    typeCurrency(QStringLiteral("$"));
    auto* price = editor<QLineEdit>("purchasePrice");
    EXPECT_EQ(price->text(), QStringLiteral("10.00"));

    for (const QString& junk : {QStringLiteral("12abc"), QStringLiteral("-3")}) {
        type(price, junk);
        EXPECT_EQ(m_product->purchasePrice(), Decimal(1000, 2)) << junk.toStdString();
        EXPECT_EQ(price->text(), QStringLiteral("10.00")) << junk.toStdString();
        EXPECT_TRUE(m_view->refusal().contains(junk)) << junk.toStdString();
        EXPECT_TRUE(m_view->findChild<QWidget*>(QStringLiteral("detailMessage"))->isVisible());
        EXPECT_FALSE(m_view->commitEditing()) << "nothing is left pending to be stored later";
    }

    // The next price that reads is stored and ends the message; so does showing another product.
    type(price, QStringLiteral("12.5"));
    EXPECT_EQ(m_product->purchasePrice(), Decimal(125, 1));
    EXPECT_TRUE(m_view->refusal().isEmpty());
    type(price, QStringLiteral("abc"));
    m_view->setProduct(UiTestLibrary::addProduct(m_context, QStringLiteral("Other")));
    EXPECT_TRUE(m_view->refusal().isEmpty());
}

TEST_F(ProductDetailViewTest, AnEmptyTitleIsRefusedAndThePreviousOneShownAgain)
{
    auto* title = editor<QLineEdit>("title");
    for (const QString& empty : {QString(), QStringLiteral("   ")}) {
        type(title, empty);
        EXPECT_EQ(m_product->title(), QStringLiteral("Ledger"));
        EXPECT_EQ(title->text(), QStringLiteral("Ledger"));
        EXPECT_FALSE(m_view->refusal().isEmpty());
    }
    type(title, QStringLiteral("Ledger 2"));
    EXPECT_EQ(m_product->title(), QStringLiteral("Ledger 2"));
    EXPECT_TRUE(m_view->refusal().isEmpty());
}

TEST_F(ProductDetailViewTest, CurrencyListFollowsThePreferredOrderAndAcceptsFreeText)
{
    auto* currency = editor<QComboBox>("purchaseCurrency");
    QStringList listed;
    for (int i = 0; i < currency->count(); ++i) {
        listed.append(currency->itemText(i));
    }
    EXPECT_EQ(listed, ZRCurrencyManager::currencySymbols());

    m_controller->userPrefs().setCurrencySortDescriptorsArray({SortOrderEntry {QStringLiteral("sortIndex"), false}});
    m_view->reloadCurrencies();
    EXPECT_EQ(currency->itemText(0), listed.last());

    typeCurrency(QStringLiteral("CHF"));
    EXPECT_EQ(m_product->purchaseCurrency(), QStringLiteral("CHF"));
    EXPECT_EQ(currency->count(), listed.size()); // free text is not added to the list
}

TEST_F(ProductDetailViewTest, PendingTextOfEveryKindReachesTheProductOnCommit)
{
    QTest::keyClicks(editor<QLineEdit>("registeredEmail"), QStringLiteral("ann@example.org"));
    QTest::keyClicks(editor<QPlainTextEdit>("serialNumber"), QStringLiteral("AAAA-BBBB"));
    editor<QPlainTextEdit>("comments")->setPlainText(QStringLiteral("Zürich licence ✓\nsecond line"));
    editor<QPlainTextEdit>("comments")->document()->setModified(true);

    EXPECT_TRUE(m_view->commitEditing());
    EXPECT_EQ(m_product->registeredEmail(), QStringLiteral("ann@example.org"));
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("AAAA-BBBB"));
    EXPECT_EQ(m_product->comments(), QStringLiteral("Zürich licence ✓\nsecond line").toUtf8());
    EXPECT_FALSE(m_view->commitEditing()); // nothing pending any more
}

TEST_F(ProductDetailViewTest, EachFinishedEditIsOneUndoStep)
{
    type(editor<QLineEdit>("title"), QStringLiteral("Ledger Pro"));
    type(editor<QLineEdit>("productVersion"), QStringLiteral("3"));
    type(editor<QLineEdit>("productVersion"), QStringLiteral("3")); // unchanged: no step
    m_context->undo();
    EXPECT_EQ(m_product->productVersion(), QString());
    EXPECT_EQ(m_product->title(), QStringLiteral("Ledger Pro"));
    m_context->undo();
    EXPECT_EQ(m_product->title(), QStringLiteral("Ledger"));
}

TEST_F(ProductDetailViewTest, EditingTheDateKeepsTheTimeOfDay)
{
    const QDateTime bought(QDate(2021, 3, 4), QTime(15, 30));
    m_product->setPurchaseDate(bought.toUTC());
    m_view->reload();
    auto* date = editor<QDateEdit>("purchaseDate");
    EXPECT_EQ(date->date(), QDate(2021, 3, 4));

    date->setDate(QDate(2022, 1, 2));
    EXPECT_EQ(m_product->purchaseDate().toLocalTime(), QDateTime(QDate(2022, 1, 2), QTime(15, 30)));
}

TEST_F(ProductDetailViewTest, NotesWrittenAsRtfShowTheirTextAndStayUntilEdited)
{
    QFile fixture(testDataPath("/ui/notes-written-as-rtf.rtf"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray rtf = fixture.readAll();
    m_product->setComments(rtf);
    m_view->reload();
    auto* notes = editor<QPlainTextEdit>("comments");
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("Bought at the fair.\nCode: caf\u00e9 \u2013 42"));

    EXPECT_FALSE(m_view->commitEditing());
    EXPECT_EQ(m_product->comments(), rtf);

    notes->appendPlainText(QStringLiteral("!"));
    EXPECT_TRUE(m_view->commitEditing());
    EXPECT_EQ(m_product->comments(), QStringLiteral("Bought at the fair.\nCode: caf\u00e9 \u2013 42\n!").toUtf8());
}

TEST_F(ProductDetailViewTest, SwitchingProductsCommitsToTheOneThatWasShown)
{
    ProductEntity* other = UiTestLibrary::addProduct(m_context, QStringLiteral("Other"));
    QTest::keyClicks(editor<QLineEdit>("publisher"), QStringLiteral("Quill"));
    m_view->setProduct(other);
    EXPECT_EQ(m_product->publisher(), QStringLiteral("Quill"));
    EXPECT_EQ(other->publisher(), QString());
    EXPECT_EQ(editor<QLineEdit>("publisher")->text(), QString());

    m_context->deleteObject(other);
    QTest::keyClicks(editor<QLineEdit>("publisher"), QStringLiteral("Lost"));
    EXPECT_FALSE(m_view->commitEditing()); // a deleted product is not written to
    m_view->setProduct(nullptr);
    EXPECT_FALSE(editor<QLineEdit>("title")->isEnabled());
}

} // namespace

TEST_F(ProductDetailViewTest, TheLicenceGroupStoresItsFieldsAndRefusesBadInputVisibly)
{
    m_product->setPurchaseDate(QDateTime(QDate(2026, 3, 1), QTime(12, 0), QTimeZone::utc()));
    m_view->reload();
    auto* licenceType = editor<QComboBox>("licenseType");
    auto* expiry = editor<QDateEdit>("expiryDate");
    auto* renewal = editor<QDateEdit>("renewalDate");
    auto* seats = editor<QSpinBox>("seats");
    auto* renewalPrice = editor<QLineEdit>("renewalPrice");
    auto* archived = editor<QCheckBox>("archived");
    ASSERT_TRUE(licenceType && expiry && renewal && seats && renewalPrice && archived);
    EXPECT_EQ(seats->text().trimmed(), QString()) << "no seats stated shows as an empty field";

    licenceType->setCurrentIndex(licenceType->findData(QStringLiteral("trial")));
    emit licenceType->activated(licenceType->currentIndex());
    expiry->setDate(QDate(2027, 1, 15));
    seats->setValue(0);
    archived->setChecked(true);
    type(renewalPrice, QStringLiteral("1,049.5"));
    EXPECT_EQ(m_product->licenseType(), QStringLiteral("trial"));
    EXPECT_EQ(m_product->expiryDate(), QDate(2027, 1, 15));
    EXPECT_EQ(m_product->seats(), 0);
    EXPECT_TRUE(m_product->isArchived());
    EXPECT_EQ(m_product->renewalPrice()->toString(), QStringLiteral("1049.5"));
    EXPECT_EQ(renewalPrice->text(), QStringLiteral("1,049.50"));

    // A wrong separator and a renewal before the purchase are shown and not stored.
    type(renewalPrice, QStringLiteral("12,50"));
    EXPECT_EQ(m_product->renewalPrice()->toString(), QStringLiteral("1049.5"));
    EXPECT_TRUE(m_view->licenceFields()->refusal().contains(QStringLiteral("12,50")));
    EXPECT_EQ(renewalPrice->text(), QStringLiteral("12,50"));
    renewal->setDate(QDate(2026, 2, 1));
    EXPECT_FALSE(m_product->renewalDate().isValid());
    EXPECT_FALSE(renewal->toolTip().isEmpty());
    renewal->setDate(QDate(2026, 4, 1));
    EXPECT_EQ(m_product->renewalDate(), QDate(2026, 4, 1));
    type(renewalPrice, QStringLiteral("12.50"));
    EXPECT_EQ(m_product->renewalPrice(), Decimal(1250, 2));
    EXPECT_TRUE(m_view->licenceFields()->refusal().isEmpty());

    // Each change is one undo step, and the field follows the product back.
    m_context->setUndoEnabled(true);
    seats->setValue(5);
    ASSERT_EQ(m_product->seats(), 5);
    m_context->undo();
    m_view->reload();
    EXPECT_EQ(m_product->seats(), 0);
    EXPECT_EQ(seats->value(), 0);
    expiry->setDate(expiry->minimumDate());
    EXPECT_FALSE(m_product->expiryDate().isValid());
}
