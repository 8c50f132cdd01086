#include "base/PriceFormatter.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

const PriceFormatter Dollar(QStringLiteral("."), QStringLiteral(","));
const PriceFormatter Euro(QStringLiteral(","), QStringLiteral("."));

struct ShowCase
{
    double value;
    const char* dollar;
    const char* euro;
};

} // namespace

TEST(PriceFormatter, ShowsGroupedPricesWithUpToThreeDecimals)
{
    const ShowCase cases[] = {
        {0, "0", "0"},
        {7, "7", "7"},
        {1234.5, "1,234.5", "1.234,5"},
        {1234, "1,234", "1.234"},
        {999.99, "999.99", "999,99"},
        {1234567.125, "1,234,567.125", "1.234.567,125"},
        {1234.56789, "1,234.568", "1.234,568"},
        {0.9996, "1", "1"},
        {999.9996, "1,000", "1.000"},
        {-1234.5, "-1,234.5", "-1.234,5"},
        {-0.0004, "0", "0"}, // rounds to zero: no minus sign
        {100000, "100,000", "100.000"},
    };
    for (const ShowCase& c : cases) {
        EXPECT_EQ(Dollar.toString(c.value), QString::fromUtf8(c.dollar)) << c.value;
        EXPECT_EQ(Euro.toString(c.value), QString::fromUtf8(c.euro)) << c.value;
    }
    EXPECT_TRUE(Dollar.toString(std::nan("")).isEmpty());
    EXPECT_TRUE(Dollar.toString(INFINITY).isEmpty());
}

TEST(PriceFormatter, ShowsExactDecimalsWithTheSameRules)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1234.5", "1,234.5"},
        {"1234.5000", "1,234.5"},
        {"0001234", "1,234"},
        {"12345678901234567890.123", "12,345,678,901,234,567,890.123"}, // beyond double precision
        {"0.0005", "0.001"}, // half rounds away from zero
        {"-0.0005", "-0.001"},
        {"0.0004", "0"},
        {"999.9995", "1,000"},
        {".5", "0.5"},
        {"-0", "0"},
    };
    for (const auto& [decimal, shown] : cases) {
        EXPECT_EQ(Dollar.toStringFromDecimal(QString::fromUtf8(decimal)), QString::fromUtf8(shown)) << decimal;
    }
    for (const char* bad : {"", "-", ".", "1,234.5", "1e5", "12a", "1.2.3"}) {
        EXPECT_TRUE(Dollar.toStringFromDecimal(QString::fromUtf8(bad)).isEmpty()) << bad;
    }
}

TEST(PriceFormatter, ReadsTypedPrices)
{
    const std::pair<const char*, double> dollarCases[] = {
        {"1,234.5", 1234.5},
        {"1234.5", 1234.5},
        {" 1,234 ", 1234},
        {"0.125", 0.125},
        {".5", 0.5},
        {"-1,000", -1000},
        {"+3", 3},
        {"1,234,567.25", 1234567.25},
        {"12.3456", 12.3456},
        {"7.", 7},
        {"\u2212"
         "5",
         -5},
    };
    for (const auto& [text, value] : dollarCases) {
        const auto read = Dollar.fromString(QString::fromUtf8(text));
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_DOUBLE_EQ(*read, value) << text;
    }
    const auto euro = Euro.fromString(QStringLiteral("1.234,5"));
    ASSERT_TRUE(euro.has_value());
    EXPECT_DOUBLE_EQ(*euro, 1234.5);
    EXPECT_EQ(Euro.decimalFromString(QStringLiteral("-1.234.567,50")), QStringLiteral("-1234567.5"));
}

TEST(PriceFormatter, RefusesTextThatIsNotAPriceInsteadOfGuessing)
{
    // With "." grouping, "12.50" is not 1250: groups after the first have exactly three digits.
    for (const char* text : {"12.50", "1234.5", "1.23,4"}) {
        EXPECT_FALSE(Euro.fromString(QString::fromUtf8(text)).has_value()) << text;
    }
    for (const char* text :
         {"", "  ", "abc", "$5", "5 USD", "1,23", "1,2345", ",123", "1,,234", "1.2.3", "--1", "-", "1,234,", "12a"}) {
        EXPECT_FALSE(Dollar.fromString(QString::fromUtf8(text)).has_value()) << text;
    }
}

TEST(PriceFormatter, AcceptsAnOrdinarySpaceWhereTheLocaleGroupsWithANoBreakSpace)
{
    const PriceFormatter swedish(QStringLiteral(","), QString(QChar(0x00A0)));
    EXPECT_EQ(swedish.toString(1234.5),
              QStringLiteral("1\u00A0"
                             "234,5"));
    EXPECT_EQ(swedish.fromString(QStringLiteral("1 234,5")), 1234.5);
    EXPECT_EQ(swedish.fromString(QStringLiteral("1\u202F"
                                                "234,5")),
              1234.5);
}

TEST(PriceFormatter, ReadsBackWhatItShows)
{
    for (const double value : {0.0, 0.5, 1.0, 19.99, 1234.5, 1234567.891, -42.125, 1e12}) {
        for (const PriceFormatter* formatter : {&Dollar, &Euro}) {
            const auto read = formatter->fromString(formatter->toString(value));
            ASSERT_TRUE(read.has_value()) << value;
            EXPECT_DOUBLE_EQ(*read, value);
        }
    }
}
