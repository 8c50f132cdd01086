#include "ImportTestLibrary.h"
#include "desktop/ApplicationLocator.h"
#include "import/DelimitedLineImport.h"
#include "model/ZRCurrencyManager.h"
#include "support/TestData.h"

namespace {

using Persistence::FetchRequest;

DelimitedRow row(std::initializer_list<const char*> fields)
{
    DelimitedRow result;
    for (const char* field : fields) {
        result.append(field ? DelimitedField(QString::fromUtf8(field)) : DelimitedField());
    }
    return result;
}

class DelimitedImportTest : public ImportTestLibrary
{
protected:
    const QStringList m_mapping {QStringLiteral("title"), QStringLiteral("serialNumber"),
                                 QStringLiteral("Don't Import"), QStringLiteral("registeredEmail")};
};

TEST_F(DelimitedImportTest, RowsBecomeProductsOrUpdateTheMatchingOne)
{
    const int before = count(QStringLiteral("Product"));
    auto counts = m_delegate->importProductsArray({row({"Alpha", "A-1", "ignored", "a@example.com"}),
                                                   row({nullptr, "NO-TITLE"}), row({nullptr}), row({"Beta", "B-1"}),
                                                   row({"missing value", "M-1"})},
                                                  m_mapping, false);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->added, 2);
    EXPECT_EQ(count(QStringLiteral("Product")), before + 2);
    EXPECT_EQ(only(QStringLiteral("Alpha"))->serialNumber(), QStringLiteral("A-1"));
    EXPECT_EQ(only(QStringLiteral("Alpha"))->registeredEmail(), QStringLiteral("a@example.com"));
    // A column that is not imported is never written anywhere.
    EXPECT_FALSE(only(QStringLiteral("Alpha"))->registeredName().contains(QLatin1String("ignored")));

    // Updating: titles match ignoring case; empty fields and "missing value" keep what is stored.
    counts = m_delegate->importProductsArray({row({"ALPHA", "A-2", nullptr, nullptr}),
                                              row({"beta", "MISSING VALUE", nullptr, "b@example.com"}),
                                              row({"Gamma", "G-1"})},
                                             m_mapping, true);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->added, 1);
    EXPECT_EQ(counts->updated, 2);
    EXPECT_EQ(count(QStringLiteral("Product")), before + 3);
    ProductEntity* alpha = only(QStringLiteral("ALPHA"));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->serialNumber(), QStringLiteral("A-2"));
    EXPECT_EQ(alpha->registeredEmail(), QStringLiteral("a@example.com"));
    ProductEntity* beta = only(QStringLiteral("beta"));
    ASSERT_TRUE(beta);
    EXPECT_EQ(beta->serialNumber(), QStringLiteral("B-1"));
    EXPECT_EQ(beta->registeredEmail(), QStringLiteral("b@example.com"));
}

TEST_F(DelimitedImportTest, UpdatingMatchesRowsImportedEarlierInTheSameFile)
{
    const auto counts = m_delegate->importProductsArray(
        {row({"Delta", "D-1"}), row({"delta", "D-2"}), row({"Delta", "D-3"})}, m_mapping, true);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->added, 1);
    EXPECT_EQ(counts->updated, 2);
    EXPECT_EQ(only(QStringLiteral("Delta"))->serialNumber(), QStringLiteral("D-3"));
}

TEST_F(DelimitedImportTest, ATitleEndingInAStarUpdatesAProductBeginningWithTheRest)
{
    const auto counts = m_delegate->importProductsArray({row({"northwind*", "N-9"})}, m_mapping, true);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->updated, 1);
    m_context->refreshObject(m_product, true);
    EXPECT_EQ(m_product->serialNumber(), QStringLiteral("N-9"));
}

TEST_F(DelimitedImportTest, WithoutATitleColumnNothingIsImported)
{
    const int before = count(QStringLiteral("Product"));
    EXPECT_FALSE(m_delegate->importProductsArray({row({"Alpha", "A-1"})},
                                                 {QStringLiteral("serialNumber"), QStringLiteral("publisher")}, false));
    EXPECT_EQ(count(QStringLiteral("Product")), before);
    EXPECT_TRUE(logged(QStringLiteral("Error import from file.  Not title mapping specified.")));
    EXPECT_EQ(m_ui.errors().size(), 1);
    EXPECT_FALSE(m_ui.isProgressShown());
}

TEST_F(DelimitedImportTest, APriceIsReadInTheCurrencyTheProductHasWhenItsColumnIsReached)
{
    const QString euro = ZRCurrencyManager::euroCurrencySymbol();
    const QStringList currencyFirst {QStringLiteral("title"), QStringLiteral("purchaseCurrency"),
                                     QStringLiteral("purchasePrice")};
    const QStringList priceFirst {QStringLiteral("title"), QStringLiteral("purchasePrice"),
                                  QStringLiteral("purchaseCurrency")};
    DelimitedRow euroRow {QStringLiteral("Euro First"), euro, QStringLiteral("1.234,50")};
    ASSERT_TRUE(m_delegate->importProductsArray({euroRow}, currencyFirst, false));
    EXPECT_EQ(only(QStringLiteral("Euro First"))->purchasePrice()->toString(), QStringLiteral("1234.5"));

    // The price comes first, so the default dollar formatter reads it: "1.234,50" is no dollar price.
    DelimitedRow laterRow {QStringLiteral("Euro Later"), QStringLiteral("1.234,50"), euro};
    DelimitedRow dollarRow {QStringLiteral("Dollar Later"), QStringLiteral("1,234.50"), euro};
    ASSERT_TRUE(m_delegate->importProductsArray({laterRow, dollarRow}, priceFirst, false));
    EXPECT_FALSE(only(QStringLiteral("Euro Later"))->purchasePrice());
    EXPECT_EQ(only(QStringLiteral("Dollar Later"))->purchasePrice()->toString(), QStringLiteral("1234.5"));
    EXPECT_EQ(only(QStringLiteral("Dollar Later"))->purchaseCurrency(), euro);

    // A euro price written the English way is read, not dropped; an unreadable one on an update
    // keeps the price the product had.
    DelimitedRow englishRow {QStringLiteral("Euro First"), euro, QStringLiteral("1,299.00")};
    ASSERT_TRUE(m_delegate->importProductsArray({englishRow}, currencyFirst, true));
    EXPECT_EQ(only(QStringLiteral("Euro First"))->purchasePrice()->toString(), QStringLiteral("1299"));
    DelimitedRow junkRow {QStringLiteral("Euro First"), euro, QStringLiteral("12abc")};
    ASSERT_TRUE(m_delegate->importProductsArray({junkRow}, currencyFirst, true));
    EXPECT_EQ(only(QStringLiteral("Euro First"))->purchasePrice()->toString(), QStringLiteral("1299"));
    EXPECT_TRUE(logged(QStringLiteral("Import of \"Euro First\": the price \"12abc\" cannot be read.")));
}

TEST_F(DelimitedImportTest, ANewProductTakesItsApplicationsBundleButMappedValuesWin)
{
    qputenv(ApplicationLocator::PathVariable, QFile::encodeName(testDataPath("/record")));
    const auto counts = m_delegate->importProductsArray(
        {row({"Sample", "S-1"})}, {QStringLiteral("title"), QStringLiteral("serialNumber")}, false);
    qunsetenv(ApplicationLocator::PathVariable);
    ASSERT_TRUE(counts);
    ProductEntity* sample = only(QStringLiteral("Sample"));
    ASSERT_TRUE(sample);
    EXPECT_FALSE(sample->bundleIdentifier().isEmpty());
    EXPECT_EQ(sample->serialNumber(), QStringLiteral("S-1"));
}

TEST_F(DelimitedImportTest, TheLineImportSavesEachLineAndRefusesLinesOfTheWrongShape)
{
    auto context = std::make_unique<Persistence::ObjectContext>(m_context->coordinator());
    ApplicationLocator locator({});
    const QStringList keys {QStringLiteral("title"), QStringLiteral("serialNumber"), QStringLiteral("registeredName")};
    ImportCounts counts;
    EXPECT_TRUE(importProductWithString(QStringLiteral("'Epsilon',E-1,Ann"), QStringLiteral(","), QStringLiteral("'"),
                                        keys, true, context.get(), locator, &counts));
    EXPECT_FALSE(importProductWithString(QStringLiteral("Zeta,Z-1,Ann,extra"), QStringLiteral(","), QString(), keys,
                                         true, context.get(), locator, &counts));
    EXPECT_FALSE(importProductWithString(QStringLiteral(",Z-1,Ann"), QStringLiteral(","), QString(), keys, true,
                                         context.get(), locator, &counts));
    // An empty piece keeps the stored value.
    EXPECT_TRUE(importProductWithString(QStringLiteral("epsilon,E-2,"), QStringLiteral(","), QString(), keys, true,
                                        context.get(), locator, &counts));
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(counts.updated, 1);
    EXPECT_FALSE(context->hasChanges());

    // Saved: a fresh context sees the product.
    auto fresh = std::make_unique<Persistence::ObjectContext>(m_context->coordinator());
    const auto found = fresh->execute(FetchRequest(
        QStringLiteral("Product"), *Persistence::Predicate::fromFormat(QStringLiteral("serialNumber == 'E-2'"))));
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1);
    auto* epsilon = dynamic_cast<ProductEntity*>(found->first());
    EXPECT_EQ(epsilon->title(), QStringLiteral("epsilon"));
    EXPECT_EQ(epsilon->registeredName(), QStringLiteral("Ann"));
    EXPECT_FALSE(importProductWithString(QStringLiteral("Eta,H-1"), QStringLiteral(","), QString(),
                                         {QStringLiteral("serialNumber"), QStringLiteral("publisher")}, false,
                                         context.get(), locator));
}

TEST_F(DelimitedImportTest, LinesImportedIntoTheMainCatalogueAreSavedWithIt)
{
    const ImportCounts counts = m_delegate->importProductStrings(
        {QStringLiteral("Iota\tI-1"), QStringLiteral("no tab here"), QStringLiteral("IOTA\tI-2")}, QStringLiteral("\t"),
        QString(), {QStringLiteral("title"), QStringLiteral("serialNumber")}, true, m_context);
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(counts.updated, 1);
    EXPECT_FALSE(m_context->hasChanges());
    EXPECT_EQ(only(QStringLiteral("IOTA"))->serialNumber(), QStringLiteral("I-2"));
    EXPECT_FALSE(m_ui.isProgressShown());
}

TEST_F(DelimitedImportTest, ATextFileIsReadAsUtf8WithItsHeaderRowSkipped)
{
    const QString path
        = writeFile(QStringLiteral("list.csv"), "\xEF\xBB\xBFTitle;Serial\r\n\"Omega; Pro\";O-1\r\nPsi;P-1\r\n");
    DelimitedTextOptions options;
    options.fieldDelimiter = QStringLiteral(";");
    options.quote = QStringLiteral("\"");
    options.hasHeaderRow = true;
    const auto counts
        = m_delegate->importTextFile(path, options, {QStringLiteral("title"), QStringLiteral("serialNumber")}, false);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->added, 2);
    EXPECT_EQ(only(QStringLiteral("Omega; Pro"))->serialNumber(), QStringLiteral("O-1"));
    EXPECT_TRUE(productsTitled(QStringLiteral("Title")).isEmpty());

    const int before = count(QStringLiteral("Product"));
    const QString latin1 = writeFile(QStringLiteral("latin1.csv"), "Caf\xE9,C-1\n");
    EXPECT_FALSE(m_delegate->importTextFile(latin1, DelimitedTextOptions(), {QStringLiteral("title")}, false));
    EXPECT_FALSE(m_delegate->importTextFile(m_scratch.filePath(QStringLiteral("none.csv")), DelimitedTextOptions(),
                                            {QStringLiteral("title")}, false));
    EXPECT_EQ(count(QStringLiteral("Product")), before);
    EXPECT_EQ(m_ui.errors().size(), 2);
}

} // namespace
