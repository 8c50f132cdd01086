#include "report/SpendingTotals.h"

#include "ReportTestLibrary.h"
#include "persistence/FetchRequest.h"

using Persistence::Decimal;

namespace {

Decimal money(const char* text)
{
    return *Decimal::fromString(QString::fromLatin1(text));
}

QString text(const std::optional<Decimal>& value)
{
    return value ? value->toString() : QStringLiteral("(none)");
}

class SpendingTotalsTest : public ReportTestLibrary
{
protected:
    ProductEntity* bought(const QString& title, const char* price, const QString& currency, int year)
    {
        ProductEntity* product = addProduct(title);
        product->setPurchasePrice(price ? std::optional<Decimal>(money(price)) : std::nullopt);
        product->setPurchaseCurrency(currency);
        product->setValue(QStringLiteral("purchaseDate"),
                          year ? QVariant(QDateTime(QDate(year, 6, 15), QTime(12, 0))) : QVariant());
        m_added.append(product);
        return product;
    }

    QList<SpendingRow> totals(SpendingTotals::Grouping grouping)
    {
        SpendingTotals totals(grouping, CurrencyCodes(*m_context));
        for (const ProductEntity* product : std::as_const(m_added)) {
            totals.add(*product);
        }
        return totals.rows();
    }

    static QStringList lines(const QList<SpendingRow>& rows)
    {
        QStringList lines;
        for (const SpendingRow& row : rows) {
            lines.append(QStringLiteral("%1 %2 %3 %4 %5")
                             .arg(row.group, row.currency, row.total.toString(), QString::number(row.count),
                                  row.annualRecurring.toString()));
        }
        return lines;
    }

    void setCurrencyCode(const QString& symbol, const QString& code)
    {
        const auto currencies = m_context->execute(Persistence::FetchRequest(QStringLiteral("Currency")));
        ASSERT_TRUE(currencies);
        for (Persistence::ManagedObject* currency : *currencies) {
            if (currency->value(QStringLiteral("currencySymbol")).toString() == symbol) {
                currency->setValue(QStringLiteral("currencyCode"), code);
                return;
            }
        }
        ADD_FAILURE() << "no currency " << symbol.toStdString();
    }

    QList<ProductEntity*> m_added;
};

} // namespace

TEST(SpendingAmount, SumsExactlyAndAnnualisesToTheMinorUnit)
{
    // Ten dimes are a dollar exactly, which doubles never quite manage.
    SpendingAmount dimes;
    for (int i = 0; i < 10; ++i) {
        dimes.add(money("0.1"));
    }
    EXPECT_EQ(dimes.value(2).toString(), QStringLiteral("1.00"));
    SpendingAmount mixed;
    mixed.add(money("30"));
    mixed.add(money("0.125"));
    mixed.add(money("-5.5"));
    EXPECT_EQ(mixed.value(2).toString(), QStringLiteral("24.625")) << "no digit is rounded away";
    EXPECT_EQ(SpendingAmount().value(0).toString(), QStringLiteral("0"));

    // A sum past 18 digits gives up decimals instead of wrapping around.
    SpendingAmount huge;
    huge.add(Decimal(9000000000000000000, 2));
    huge.add(Decimal(9000000000000000000, 2));
    EXPECT_EQ(huge.value(2).toString(), QStringLiteral("180000000000000000.0"));

    struct Case
    {
        const char* price;
        int months;
        int digits;
        const char* yearly;
    };
    for (const Case& c :
         {Case {"49.00", 12, 2, "49.00"}, Case {"9.99", 1, 2, "119.88"}, Case {"10", 7, 2, "17.14"}, // 17.142857...
          Case {"0.125", 12, 2, "0.13"}, // half a cent rounds up
          Case {"-0.125", 12, 2, "-0.13"}, Case {"1000", 7, 0, "1714"}, Case {"5", 24, 3, "2.500"}}) {
        EXPECT_EQ(text(SpendingAmount::annualised(money(c.price), c.months, c.digits)), QLatin1String(c.yearly))
            << c.price << " every " << c.months;
    }
    EXPECT_FALSE(SpendingAmount::annualised(money("10"), 0, 2));
    EXPECT_FALSE(SpendingAmount::annualised(money("10"), -12, 2));

    EXPECT_EQ(SpendingAmount::fractionDigits(QStringLiteral("USD")), 2);
    EXPECT_EQ(SpendingAmount::fractionDigits(QStringLiteral("jpy")), 0);
    EXPECT_EQ(SpendingAmount::fractionDigits(QStringLiteral("KWD")), 3);
    EXPECT_EQ(SpendingAmount::fractionDigits(QStringLiteral("Gold coins")), 2);
}

TEST_F(SpendingTotalsTest, YearsSumEachCurrencyApartAndCountProductsWithoutPrices)
{
    bought(QStringLiteral("Editor"), "29.95", QStringLiteral("$"), 2021);
    bought(QStringLiteral("Compiler"), "70.05", QStringLiteral("$"), 2021);
    bought(QStringLiteral("Fonts"), "20", QStringLiteral("€"), 2021);
    bought(QStringLiteral("Game"), "1200", QStringLiteral("JPY"), 2021);
    bought(QStringLiteral("Freebie"), nullptr, QStringLiteral("$"), 2021);
    bought(QStringLiteral("Old Tool"), "10", QStringLiteral("$"), 2009);
    bought(QStringLiteral("Gift"), "5", QStringLiteral("$"), 0);
    bought(QStringLiteral("Shells"), "3", QStringLiteral("cowries"), 2021);

    EXPECT_EQ(lines(totals(SpendingTotals::Grouping::Year)),
              QStringList({QStringLiteral("2009 USD 10.00 1 0.00"), QStringLiteral("2021 cowries 3.00 1 0.00"),
                           QStringLiteral("2021 EUR 20.00 1 0.00"), QStringLiteral("2021 JPY 1200 1 0"),
                           QStringLiteral("2021 USD 100.00 3 0.00"), QStringLiteral("none USD 5.00 1 0.00")}))
        << "an unknown symbol stays a currency of its own; no date goes to \"none\", last";

    EXPECT_EQ(lines(totals(SpendingTotals::Grouping::Currency)),
              QStringList({QStringLiteral("cowries cowries 3.00 1 0.00"), QStringLiteral("EUR EUR 20.00 1 0.00"),
                           QStringLiteral("JPY JPY 1200 1 0"), QStringLiteral("USD USD 115.00 5 0.00")}));
}

TEST_F(SpendingTotalsTest, ASymbolTheLibrarySetsToAnotherCodeCountsInThatCurrency)
{
    setCurrencyCode(QStringLiteral("$"), QStringLiteral("CAD"));
    bought(QStringLiteral("Maple Maps"), "15.50", QStringLiteral("$"), 2022);
    bought(QStringLiteral("Typed Code"), "4.50", QStringLiteral("CAD"), 2022);
    bought(QStringLiteral("Yankee Tool"), "9", QStringLiteral("USD"), 2022);
    EXPECT_EQ(lines(totals(SpendingTotals::Grouping::Year)),
              QStringList({QStringLiteral("2022 CAD 20.00 2 0.00"), QStringLiteral("2022 USD 9.00 1 0.00")}));
}

TEST_F(SpendingTotalsTest, RenewalsAddTheirYearlyCostUnlessArchivedOrWithoutPeriod)
{
    ProductEntity* yearly = bought(QStringLiteral("Cloud"), "49.00", QStringLiteral("$"), 2024);
    yearly->setLicenseType(QStringLiteral("subscription"));
    yearly->setRenewalPrice(money("49.00"));
    yearly->setRenewalPeriodMonths(12);
    ProductEntity* monthly = bought(QStringLiteral("Music"), nullptr, QStringLiteral("$"), 2024);
    monthly->setLicenseType(QStringLiteral("subscription"));
    monthly->setRenewalPrice(money("9.99"));
    monthly->setRenewalPeriodMonths(1);
    ProductEntity* unrepeated = bought(QStringLiteral("Upgrade"), "20", QStringLiteral("$"), 2024);
    unrepeated->setRenewalPrice(money("15"));
    unrepeated->setRenewalPeriodMonths(0);
    ProductEntity* archived = bought(QStringLiteral("Dropped"), "30", QStringLiteral("$"), 2024);
    archived->setLicenseType(QStringLiteral("subscription"));
    archived->setRenewalPrice(money("30"));
    archived->setRenewalPeriodMonths(12);
    archived->setArchived(true);
    ProductEntity* yen = bought(QStringLiteral("Dictionary"), "3000", QStringLiteral("JPY"), 2024);
    yen->setLicenseType(QStringLiteral("subscription"));
    yen->setRenewalPrice(money("1000"));
    yen->setRenewalPeriodMonths(7);
    ProductEntity* perpetual = bought(QStringLiteral("Studio"), "199", QStringLiteral("$"), 2024);
    perpetual->setLicenseType(QStringLiteral("perpetual"));

    // The archived one was bought, so it stays in total and count but renews no more.
    EXPECT_EQ(lines(totals(SpendingTotals::Grouping::Year)),
              QStringList({QStringLiteral("2024 JPY 3000 1 1714"), QStringLiteral("2024 USD 298.00 5 168.88")}));
    EXPECT_EQ(
        lines(totals(SpendingTotals::Grouping::Type)),
        QStringList({QStringLiteral("perpetual USD 199.00 1 0.00"), QStringLiteral("subscription JPY 3000 1 1714"),
                     QStringLiteral("subscription USD 79.00 3 168.88"), QStringLiteral("none USD 20.00 1 0.00")}));
}

TEST_F(SpendingTotalsTest, PublishersSortByNameIgnoringCaseWithTheUnnamedLast)
{
    bought(QStringLiteral("A"), "1", QStringLiteral("$"), 2020)->setPublisher(QStringLiteral("zebra soft"));
    bought(QStringLiteral("B"), "2", QStringLiteral("$"), 2020)->setPublisher(QStringLiteral("Acme"));
    bought(QStringLiteral("C"), "3", QStringLiteral("$"), 2020)->setPublisher(QStringLiteral("  acme  "));
    bought(QStringLiteral("D"), "4", QStringLiteral("$"), 2020)->setPublisher(QStringLiteral("Blue  Sky"));
    bought(QStringLiteral("E"), "5", QStringLiteral("$"), 2020);
    EXPECT_EQ(lines(totals(SpendingTotals::Grouping::Publisher)),
              QStringList({QStringLiteral("Acme USD 2.00 1 0.00"), QStringLiteral("acme USD 3.00 1 0.00"),
                           QStringLiteral("Blue Sky USD 4.00 1 0.00"), QStringLiteral("zebra soft USD 1.00 1 0.00"),
                           QStringLiteral("none USD 5.00 1 0.00")}));
}

TEST(SpendingTotalsGrouping, OnlyTheFourGroupingsHaveNames)
{
    for (const QString& name : SpendingTotals::groupingNames()) {
        ASSERT_TRUE(SpendingTotals::groupingNamed(name)) << name.toStdString();
    }
    EXPECT_EQ(SpendingTotals::groupingNamed(QStringLiteral("type")), SpendingTotals::Grouping::Type);
    EXPECT_FALSE(SpendingTotals::groupingNamed(QStringLiteral("Year")));
    EXPECT_FALSE(SpendingTotals::groupingNamed(QStringLiteral("month")));
    EXPECT_FALSE(SpendingTotals::groupingNamed(QString()));
}
