#include "MaintenanceTestLibrary.h"
#include "prefs/UserPreferences.h"

#include <QLocale>

using Persistence::Decimal;

namespace {

ExportFieldList fields(const QStringList& keyPaths)
{
    ExportFieldList list;
    for (const QString& keyPath : keyPaths) {
        list.append(ExportField {keyPath, keyPath, true});
    }
    return list;
}

} // namespace

class DelimitedExportTest : public MaintenanceTestLibrary
{
protected:
    void SetUp() override
    {
        MaintenanceTestLibrary::SetUp();
        start();
        m_product = context()->insert<ProductEntity>(QStringLiteral("Product"));
    }
    QString line(const ExportFieldList& list, const QString& delimiter = QStringLiteral(","),
                 const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates))
    {
        return m_product->delimitedValuesByOrderedKeyPaths(list, delimiter, locale);
    }
    ProductEntity* m_product = nullptr;
};

TEST_F(DelimitedExportTest, TextIsQuotedWithInnerQuotesTurnedIntoApostrophesAndKeptOtherwise)
{
    struct Case
    {
        QString title;
        QString expected;
    };
    const QList<Case> cases {
        {QStringLiteral("Plain"), QStringLiteral("\"Plain\"")},
        {QStringLiteral("The \"Pro\" Edition"), QStringLiteral("\"The 'Pro' Edition\"")},
        {QStringLiteral("a,b\nc\td"), QStringLiteral("\"a,b\nc\td\"")},
    };
    for (const Case& test : cases) {
        m_product->setTitle(test.title);
        EXPECT_EQ(line(fields({QStringLiteral("title")})), test.expected) << test.title.toStdString();
    }
}

TEST_F(DelimitedExportTest, EmptyFieldsKeepTheirPlaceAndInactiveFieldsHaveNone)
{
    m_product->setTitle(QStringLiteral("T"));
    m_product->setProductVersion(QStringLiteral("2"));
    m_product->setSerialNumber(QString());
    m_product->setValue(QStringLiteral("serialNumber"), QVariant());
    m_product->setPublisher(QStringLiteral("P"));
    ExportFieldList list = fields({QStringLiteral("title"), QStringLiteral("productVersion"),
                                   QStringLiteral("serialNumber"), QStringLiteral("publisher")});
    EXPECT_EQ(line(list), QStringLiteral("\"T\",\"2\",,\"P\""));
    list[1].active = false;
    EXPECT_EQ(line(list, QStringLiteral("||")), QStringLiteral("\"T\"||||\"P\""));
    for (ExportField& field : list) {
        field.active = false;
    }
    EXPECT_EQ(line(list), QString());
}

TEST_F(DelimitedExportTest, NumbersAreUnquotedWithoutGroupingAndNeverSplitAField)
{
    m_product->setTitle(QStringLiteral("T"));
    m_product->setPurchasePrice(Decimal::fromString(u"1299.50"));
    const ExportFieldList list = fields({QStringLiteral("purchasePrice"), QStringLiteral("title")});
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(line(list, QStringLiteral(","), english), QStringLiteral("1299.50,\"T\""));
    EXPECT_EQ(line(list, QStringLiteral("\t"), german), QStringLiteral("1299,50\t\"T\""));
    // The locale's decimal comma inside a comma-delimited line is quoted, or the line gains a field.
    EXPECT_EQ(line(list, QStringLiteral(","), german), QStringLiteral("\"1299,50\",\"T\""));
    m_product->setPurchasePrice(std::nullopt);
    EXPECT_EQ(line(list, QStringLiteral(","), english), QStringLiteral(",\"T\""));
}

TEST_F(DelimitedExportTest, DatesAreQuotedInTheLocaleShortFormAndNotesAsText)
{
    m_product->setPurchaseDate(QDateTime(QDate(2009, 3, 25), QTime(12, 0)));
    m_product->setComments(QByteArrayLiteral("say \"hi\""));
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(line(fields({QStringLiteral("purchaseDate"), QStringLiteral("commentsString")})),
              u'"' + english.toString(QDate(2009, 3, 25), QLocale::ShortFormat) + QStringLiteral("\",\"say 'hi'\""));
}

TEST_F(DelimitedExportTest, DelimiterOptionsAreOneChoiceAndHeadersAreQuotedLabels)
{
    ZRDataMigrator& data = migrator();
    EXPECT_EQ(data.delimiter(), QStringLiteral(","));
    data.setExportAsTabDelimited(true);
    EXPECT_FALSE(data.exportAsCommaSeparated());
    EXPECT_EQ(data.delimiter(), QStringLiteral("\t"));
    data.setCustomDelimiter(QStringLiteral("<->"));
    data.setExportWithCustomDelimiter(true);
    EXPECT_FALSE(data.exportAsTabDelimited());
    EXPECT_EQ(data.delimiter(), QStringLiteral("<->"));
    data.setExportWithCustomDelimiter(false);
    EXPECT_EQ(data.delimiter(), QStringLiteral(","));

    ExportFieldList list {{QStringLiteral("A \"x\""), QStringLiteral("title"), true},
                          {QStringLiteral("B"), QStringLiteral("publisher"), false},
                          {QStringLiteral("C"), QStringLiteral("serialNumber"), true}};
    EXPECT_EQ(ZRDataMigrator::headerLine(list, QStringLiteral(";")), QStringLiteral("\"A \"x\"\";\"C\""));
}

TEST_F(DelimitedExportTest, TheExportWritesSortedLinesToAFreshNameAndRemembersTheFields)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_product->setTitle(QStringLiteral("beta"));
    auto* alpha = context()->insert<ProductEntity>(QStringLiteral("Product"));
    alpha->setTitle(QStringLiteral("Alpha"));
    ASSERT_TRUE(m_delegate->saveAction());

    ZRDataMigrator& data = migrator();
    const ExportFieldList all = data.exportableProductKeyPaths();
    ASSERT_EQ(all.size(), 22);
    EXPECT_TRUE(all.first().active);
    ExportFieldList chosen = all;
    for (ExportField& field : chosen) {
        field.active = field.keyPath == u"title";
    }
    data.setExportFields(chosen);
    data.setIncludeHeadersInTextExport(true);

    const QString existing = writeFile(QStringLiteral("KeymoorExport.txt"), "keep me");
    const QString written = data.performBackgroundTextExportToPath(existing);
    EXPECT_EQ(QFileInfo(written).fileName(), QStringLiteral("KeymoorExport 1.txt"));
    EXPECT_EQ(readAll(existing), QByteArrayLiteral("keep me"));
    const QByteArray expected = "\"" + chosen.first().label.toUtf8() + "\"\n\"Alpha\"\n\"beta\"\n\"Keymoor\"\n";
    EXPECT_EQ(readAll(written), expected);
    EXPECT_EQ(data.counter(MigrationProgress::Counter::Products), 3);

    const QVariantMap saved = m_delegate->userPrefs().activeExportValues();
    EXPECT_TRUE(saved.value(QStringLiteral("title")).toBool());
    EXPECT_FALSE(saved.value(QStringLiteral("serialNumber")).toBool());
    EXPECT_FALSE(data.exportableProductKeyPaths().at(2).active);
    QLocale::setDefault(QLocale::system());
}
