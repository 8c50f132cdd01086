#include "model/LicenceFieldText.h"

#include "AttachmentTestLibrary.h"
#include "model/ZRCurrencyManager.h"

#include <QTimeZone>

namespace {

const QString Dollar = QStringLiteral("$");
const QString Euro = QString(QChar(0x20AC));

class LicenceFieldTextTest : public AttachmentTestLibrary
{
protected:
    static std::optional<QVariant> parse(const QString& key, const QString& text, const QString& currency = Dollar,
                                         QString* error = nullptr)
    {
        QString ignored;
        return LicenceFieldText::parse(key, text, currency, error ? error : &ignored, LicenceFieldText::Naming::Key,
                                       QLocale(QLocale::English, QLocale::UnitedStates));
    }
};

} // namespace

TEST_F(LicenceFieldTextTest, AcceptedTextsGiveTheValuesToStore)
{
    const QDateTime noon(QDate(2027, 1, 15), QTime(12, 0), QTimeZone::utc());
    EXPECT_EQ(parse(QStringLiteral("expiryDate"), QStringLiteral("2027-01-15")), QVariant(noon));
    EXPECT_EQ(parse(QStringLiteral("renewalDate"), QStringLiteral(" January 15, 2027 ")), QVariant(noon));
    EXPECT_EQ(parse(QStringLiteral("renewalDate"), QStringLiteral("01/15/2027")), QVariant(noon));
    EXPECT_EQ(parse(QStringLiteral("licenseType"), QStringLiteral("Subscription")),
              QVariant(QStringLiteral("subscription")));
    EXPECT_EQ(parse(QStringLiteral("seats"), QStringLiteral("0")), QVariant(qlonglong(0)));
    EXPECT_EQ(parse(QStringLiteral("renewalPeriodMonths"), QStringLiteral("12")), QVariant(qlonglong(12)));
    EXPECT_EQ(parse(QStringLiteral("archived"), QStringLiteral("YES")), QVariant(true));
    EXPECT_EQ(parse(QStringLiteral("archived"), QStringLiteral("0")), QVariant(false));

    // Prices in the currency's own form; the plain form keeps its digits.
    EXPECT_EQ(parse(QStringLiteral("renewalPrice"), QStringLiteral("49.00"))->value<Persistence::Decimal>().toString(),
              QStringLiteral("49.00"));
    EXPECT_EQ(
        parse(QStringLiteral("renewalPrice"), QStringLiteral("1,299.5"))->value<Persistence::Decimal>().toString(),
        QStringLiteral("1299.5"));
    EXPECT_EQ(parse(QStringLiteral("renewalPrice"), QStringLiteral("1.299,5"), Euro)
                  ->value<Persistence::Decimal>()
                  .toString(),
              QStringLiteral("1299.5"));

    // Empty text clears any field.
    for (const QString& key : LicenceFieldText::keys()) {
        const auto cleared = parse(key, QStringLiteral("  "));
        ASSERT_TRUE(cleared) << key.toStdString();
        EXPECT_FALSE(cleared->isValid()) << key.toStdString();
    }
}

TEST_F(LicenceFieldTextTest, RefusalsNameTheFieldAndNeverGuess)
{
    struct Case
    {
        const char* key;
        QString text;
        QString currency;
    };
    const QList<Case> refused {
        {"expiryDate", QStringLiteral("soon"), Dollar},
        {"renewalDate", QStringLiteral("2027-02-30"), Dollar},
        {"licenseType", QStringLiteral("lifetime"), Dollar},
        {"seats", QStringLiteral("-1"), Dollar},
        {"seats", QStringLiteral("2.5"), Dollar},
        {"renewalPeriodMonths", QStringLiteral("99999999999"), Dollar},
        {"remindDaysBefore", QStringLiteral("a week"), Dollar},
        {"archived", QStringLiteral("maybe"), Dollar},
        // A wrong separator is refused rather than read as a price a hundred times larger.
        {"renewalPrice", QStringLiteral("49,00"), Dollar},
        {"renewalPrice", QStringLiteral("49.00"), Euro},
        {"renewalPrice", QStringLiteral("-5"), Dollar},
    };
    for (const Case& c : refused) {
        const QString key = QString::fromLatin1(c.key);
        QString error;
        EXPECT_FALSE(parse(key, c.text, c.currency, &error)) << c.key << " " << c.text.toStdString();
        EXPECT_TRUE(error.startsWith(key + u':')) << error.toStdString();
        EXPECT_TRUE(error.contains(c.text)) << error.toStdString();
    }
    QString labelled;
    LicenceFieldText::parse(QStringLiteral("expiryDate"), QStringLiteral("soon"), Dollar, &labelled,
                            LicenceFieldText::Naming::Label);
    EXPECT_TRUE(labelled.startsWith(QStringLiteral("Expiry Date:"))) << labelled.toStdString();
}

TEST_F(LicenceFieldTextTest, RenewalBeforeTheDayOfPurchaseIsRefused)
{
    const QDateTime purchase(QDate(2026, 3, 10), QTime(23, 30));
    EXPECT_FALSE(LicenceFieldText::renewalOrderError(QDate(2026, 3, 9), purchase).isEmpty());
    EXPECT_TRUE(LicenceFieldText::renewalOrderError(QDate(2026, 3, 10), purchase).isEmpty()) << "the same day is fine";
    EXPECT_TRUE(LicenceFieldText::renewalOrderError(QDate(2020, 1, 1), QDateTime()).isEmpty());
    EXPECT_TRUE(LicenceFieldText::renewalOrderError(QDate(), purchase).isEmpty());
}

TEST_F(LicenceFieldTextTest, ImportKeepsAFieldWhoseTextIsRefusedAndEachEditIsOneUndoStep)
{
    m_product->importValue(QStringLiteral("2027-01-15"), QStringLiteral("expiryDate"));
    m_product->importValue(QStringLiteral("\"trial\""), QStringLiteral("licenseType"), QStringLiteral("\""));
    m_product->importValue(QStringLiteral("3"), QStringLiteral("seats"));
    m_product->importValue(QStringLiteral("next year"), QStringLiteral("expiryDate"));
    m_product->importValue(QStringLiteral("many"), QStringLiteral("seats"));
    EXPECT_EQ(m_product->expiryDate(), QDate(2027, 1, 15));
    EXPECT_EQ(m_product->licenseType(), QStringLiteral("trial"));
    EXPECT_EQ(m_product->seats(), 3);
    EXPECT_TRUE(std::any_of(m_log.cbegin(), m_log.cend(),
                            [](const QString& line) { return line.contains(QStringLiteral("next year")); }));
    ASSERT_TRUE(m_delegate->saveAction());

    m_context->setUndoEnabled(true);
    ASSERT_TRUE(m_product->setRenewalDate(QDate(2027, 6, 1)));
    ASSERT_TRUE(m_product->setSeats(5));
    m_context->undo();
    EXPECT_EQ(m_product->seats(), 3);
    EXPECT_EQ(m_product->renewalDate(), QDate(2027, 6, 1));
    m_context->undo();
    EXPECT_FALSE(m_product->renewalDate().isValid());
}

TEST_F(LicenceFieldTextTest, DefaultCurrenciesCarryTheirCodes)
{
    const auto currencies = m_context->execute(Persistence::FetchRequest(QStringLiteral("Currency")));
    ASSERT_TRUE(currencies && !currencies->isEmpty());
    for (const Persistence::ManagedObject* currency : *currencies) {
        const QString symbol = currency->value(QStringLiteral("currencySymbol")).toString();
        EXPECT_EQ(currency->value(QStringLiteral("currencyCode")).toString(),
                  ZRCurrencyManager::isoCodeForSymbol(symbol))
            << symbol.toStdString();
        if (symbol == Dollar) {
            EXPECT_EQ(currency->value(QStringLiteral("currencyCode")).toString(), QStringLiteral("USD"));
        }
    }
}
