#include "text/DateParser.h"

#include <QTimeZone>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QDate Reference(2024, 6, 15);

struct DateCase
{
    const char* locale;
    const char* text;
    QDate date;
    QTime time;
    std::optional<int> offsetMinutes; // none: local time
};

void PrintTo(const DateCase& dateCase, std::ostream* out)
{
    *out << dateCase.locale << " \"" << dateCase.text << '"';
}

class WrittenDate : public ::testing::TestWithParam<DateCase>
{
};

TEST_P(WrittenDate, GivesItsDay)
{
    const DateCase& expected = GetParam();
    DateParser parser {QLocale(QString::fromLatin1(expected.locale))};
    parser.setReferenceDate(Reference);
    const auto parsed = parser.parse(QString::fromUtf8(expected.text));
    ASSERT_TRUE(parsed.has_value());
    if (expected.offsetMinutes) {
        const QDateTime wanted(expected.date, expected.time, QTimeZone(*expected.offsetMinutes * 60));
        EXPECT_EQ(parsed->toUTC(), wanted.toUTC());
        EXPECT_EQ(parsed->offsetFromUtc(), *expected.offsetMinutes * 60);
    } else {
        EXPECT_EQ(parsed->timeSpec(), Qt::LocalTime);
        EXPECT_EQ(parsed->date(), expected.date);
        EXPECT_EQ(parsed->time(), expected.time);
    }
}

const QTime Noon(12, 0);

INSTANTIATE_TEST_SUITE_P(
    Forms, WrittenDate,
    ::testing::Values(
        // ISO 8601
        DateCase {"en_US", "2009-03-04", QDate(2009, 3, 4), Noon, std::nullopt},
        DateCase {"en_US", "2009-03-04T10:20", QDate(2009, 3, 4), QTime(10, 20), std::nullopt},
        DateCase {"en_US", "2009-03-04 10:20:30 +0100", QDate(2009, 3, 4), QTime(10, 20, 30), 60},
        DateCase {"en_US", "2009-03-04T10:20:30.25Z", QDate(2009, 3, 4), QTime(10, 20, 30, 250), 0},
        DateCase {"de_DE", "2009-03-04T23:59:59-05:30", QDate(2009, 3, 4), QTime(23, 59, 59), -330},
        // e-mail headers
        DateCase {"en_US", "Wed, 4 Mar 2009 10:20:30 +0100 (CET)", QDate(2009, 3, 4), QTime(10, 20, 30), 60},
        DateCase {"de_DE", "Wed, 4 Mar 2009 10:20:30 +0100", QDate(2009, 3, 4), QTime(10, 20, 30), 60},
        DateCase {"en_US", "4 Mar 2009 10:20 -0500", QDate(2009, 3, 4), QTime(10, 20), -300},
        DateCase {"en_US", "Wed, 04 Mar 09 10:20:30 GMT", QDate(2009, 3, 4), QTime(10, 20, 30), 0},
        DateCase {"en_US", "Wed, 4 Mar 2009 10:20:30 EST", QDate(2009, 3, 4), QTime(10, 20, 30), -300},
        DateCase {"en_US", "Tue, 30 Jun 2015 23:59:60 +0000", QDate(2015, 6, 30), QTime(23, 59, 59), 0},
        DateCase {"en_US", "Wed Mar  4 10:20:30 2009", QDate(2009, 3, 4), QTime(10, 20, 30), std::nullopt},
        // month names
        DateCase {"en_US", "March 3, 2009", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"en_GB", "March 3rd, 2009", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"en_US", "Tuesday, March 3, 2009 at 10:20 PM", QDate(2009, 3, 3), QTime(22, 20), std::nullopt},
        DateCase {"en_GB", "3 Mar 2009", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"en_US", "Mar 3 2009", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"en_US", "Mar. 3, 2009 10 am", QDate(2009, 3, 3), QTime(10, 0), std::nullopt},
        DateCase {"en_US", "sept 30 2009 12:05 a.m.", QDate(2009, 9, 30), QTime(0, 5), std::nullopt},
        DateCase {"en_GB", "03-Mar-2009", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"en_GB", "the 1st of May 2010", QDate(2010, 5, 1), Noon, std::nullopt},
        DateCase {"en_US", "2009 Mar 3", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"de_DE", "3. März 2009", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"de_DE", "Mittwoch, 4. Mär. 2009 10:20", QDate(2009, 3, 4), QTime(10, 20), std::nullopt},
        DateCase {"de_DE", "March 3, 2009", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"fr_FR", "mar. 3 mars 2009", QDate(2009, 3, 3), Noon, std::nullopt},
        DateCase {"fr_FR", "Mar 3 2009", QDate(2009, 3, 3), Noon, std::nullopt},
        // numbers in the locale's order
        DateCase {"en_US", "03/04/2009", QDate(2009, 3, 4), Noon, std::nullopt},
        DateCase {"en_US", "3/4/09", QDate(2009, 3, 4), Noon, std::nullopt},
        DateCase {"en_US", "03/04/2009 12:30 am", QDate(2009, 3, 4), QTime(0, 30), std::nullopt},
        DateCase {"en_US", "12:00 PM 3-4-2009", QDate(2009, 3, 4), QTime(12, 0), std::nullopt},
        DateCase {"en_US", "25/12/2009", QDate(2009, 12, 25), Noon, std::nullopt},
        DateCase {"C", "03/04/2009", QDate(2009, 3, 4), Noon, std::nullopt},
        DateCase {"en_GB", "03/04/2009", QDate(2009, 4, 3), Noon, std::nullopt},
        DateCase {"en_GB", "3/4/09 10:20", QDate(2009, 4, 3), QTime(10, 20), std::nullopt},
        DateCase {"en_GB", "12/25/2009", QDate(2009, 12, 25), Noon, std::nullopt},
        DateCase {"de_DE", "03.04.2009", QDate(2009, 4, 3), Noon, std::nullopt},
        DateCase {"de_DE", "4.3.09.", QDate(2009, 3, 4), Noon, std::nullopt},
        DateCase {"en_US", "2009/03/04", QDate(2009, 3, 4), Noon, std::nullopt},
        DateCase {"ja_JP", "09/03/04", QDate(2009, 3, 4), Noon, std::nullopt},
        // two-digit years: within 80 years before and 20 after the reference date
        DateCase {"en_US", "4 Mar 44", QDate(1944, 3, 4), Noon, std::nullopt},
        DateCase {"en_US", "4 Mar 43", QDate(2043, 3, 4), Noon, std::nullopt},
        // relative days
        DateCase {"en_US", "Today", Reference, Noon, std::nullopt},
        DateCase {"de_DE", "yesterday 9:15", Reference.addDays(-1), QTime(9, 15), std::nullopt}));

TEST(DateParser, TextThatIsNoDateGivesNothing)
{
    const char* const texts[] = {
        "",
        "   ",
        "hello",
        "2009",
        "10:20",
        "March 2009",
        "March 32, 2009",
        "Feb 29, 2009",
        "2009-02-30",
        "2009-03-04T24:00",
        "2009-03-04T10:20+1500",
        "13/13/2009",
        "03/04/200",
        "1 2 3",
        "3 Mar 2009 foo",
        "Smarch 3, 2009",
        "25:10 March 3, 2009",
        "March 3, 2009 10:61",
        "13 pm March 3, 2009",
        "Mar 3 2009 10:20 +2500",
        "Order 4711 placed March 3, 2009",
    };
    for (const char* locale : {"en_US", "en_GB", "de_DE"}) {
        DateParser parser {QLocale(QString::fromLatin1(locale))};
        parser.setReferenceDate(Reference);
        for (const char* text : texts) {
            EXPECT_FALSE(parser.parse(QString::fromUtf8(text)).has_value()) << locale << " \"" << text << '"';
        }
    }
}

TEST(DateParser, KnowsTheNumericOrderOfLocales)
{
    using Order = DateParser::NumericOrder;
    const std::pair<const char*, Order> locales[] = {
        {"en_US", Order::MonthDayYear}, {"C", Order::MonthDayYear},     {"en_GB", Order::DayMonthYear},
        {"de_DE", Order::DayMonthYear}, {"fr_FR", Order::DayMonthYear}, {"ja_JP", Order::YearMonthDay},
        {"hu_HU", Order::YearMonthDay},
    };
    for (const auto& [name, order] : locales) {
        EXPECT_EQ(DateParser::numericOrder(QLocale(QString::fromLatin1(name))), order) << name;
    }
}

} // namespace
