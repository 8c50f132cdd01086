// Which licence dates are due: rolling repeating renewals forward over month ends and leap days,
// the window, past dates, archived products and the order of the list.
#include "products/LicenceDue.h"

#include <gtest/gtest.h>

namespace {

LicenceTerms terms(const QString& title, const QDate& expiry = {}, const QDate& renewal = {}, int period = 0)
{
    LicenceTerms t;
    t.uuid = title.toUpper();
    t.title = title;
    t.expiryDate = expiry;
    t.renewalDate = renewal;
    t.renewalPeriodMonths = period;
    return t;
}

QDate day(int y, int m, int d)
{
    return QDate(y, m, d);
}

} // namespace

TEST(LicenceDue, RepeatingRenewalsRollForwardFromTheirFirstDate)
{
    // Month ends clamp, but each occurrence counts from the first date: after February comes the 31st again.
    const LicenceTerms monthly = terms(QStringLiteral("A"), {}, day(2027, 1, 31), 1);
    EXPECT_EQ(LicenceDue::nextRenewal(monthly, day(2027, 2, 1)), day(2027, 2, 28));
    EXPECT_EQ(LicenceDue::nextRenewal(monthly, day(2027, 3, 1)), day(2027, 3, 31));
    EXPECT_EQ(LicenceDue::nextRenewal(monthly, day(2028, 2, 29)), day(2028, 2, 29)) << "the day itself counts";
    EXPECT_EQ(LicenceDue::nextRenewal(monthly, day(2028, 3, 1)), day(2028, 3, 31));

    const LicenceTerms leapYearly = terms(QStringLiteral("B"), {}, day(2024, 2, 29), 12);
    EXPECT_EQ(LicenceDue::nextRenewal(leapYearly, day(2024, 3, 1)), day(2025, 2, 28));
    EXPECT_EQ(LicenceDue::nextRenewal(leapYearly, day(2027, 3, 1)), day(2028, 2, 29));

    const LicenceTerms quarterly = terms(QStringLiteral("C"), {}, day(2020, 11, 15), 3);
    EXPECT_EQ(LicenceDue::nextRenewal(quarterly, day(2026, 12, 8)), day(2027, 2, 15));
    EXPECT_EQ(LicenceDue::nextRenewal(quarterly, day(2026, 11, 15)), day(2026, 11, 15));
    EXPECT_EQ(LicenceDue::nextRenewal(quarterly, day(2019, 1, 1)), day(2020, 11, 15)) << "a future first date stays";
}

TEST(LicenceDue, RenewalsThatDoNotRepeatStayInThePast)
{
    const QDate today = day(2026, 12, 8);
    for (int period : {0, -3}) {
        const LicenceTerms once = terms(QStringLiteral("Once"), {}, day(2026, 11, 30), period);
        EXPECT_EQ(LicenceDue::nextRenewal(once, today), day(2026, 11, 30));
        const QList<LicenceDueEntry> due = LicenceDue::dueEntries(once, today, 0);
        ASSERT_EQ(due.size(), 1) << period;
        EXPECT_EQ(due.first().daysLeft, -8);
        EXPECT_TRUE(due.first().isPast());
        EXPECT_EQ(due.first().kindName(), QStringLiteral("renewal"));
    }
    EXPECT_FALSE(LicenceDue::nextRenewal(terms(QStringLiteral("None")), today).isValid());
}

TEST(LicenceDue, TheWindowIsInclusiveAndDefaultsToEachProductsLead)
{
    const QDate today = day(2026, 12, 8);
    LicenceTerms soon = terms(QStringLiteral("Soon"), today.addDays(10));
    LicenceTerms later = terms(QStringLiteral("Later"), today.addDays(45));
    later.remindDaysBefore = 60;
    const LicenceTerms expired = terms(QStringLiteral("Gone"), today.addDays(-400));
    const LicenceTerms todayOnly = terms(QStringLiteral("Today"), today);

    EXPECT_EQ(LicenceDue::dueEntries(soon, today, 10).size(), 1);
    EXPECT_EQ(LicenceDue::dueEntries(soon, today, 9).size(), 0);
    EXPECT_EQ(LicenceDue::dueEntries(todayOnly, today, 0).size(), 1) << "within 0 is today";
    EXPECT_EQ(LicenceDue::dueEntries(expired, today, 0).first().daysLeft, -400) << "past dates are always due";

    EXPECT_EQ(LicenceDue::dueEntries(soon, today, std::nullopt).size(), 1) << "30 days by default";
    EXPECT_EQ(LicenceDue::dueEntries(later, today, std::nullopt).size(), 1) << "its own 60 days";
    EXPECT_EQ(LicenceDue::dueEntries(later, today, 30).size(), 0) << "a window given overrides the lead";
    later.remindDaysBefore = 0;
    EXPECT_EQ(LicenceDue::dueEntries(later, today, std::nullopt).size(), 0);
}

TEST(LicenceDue, ArchivedProductsAreNeverDue)
{
    const QDate today = day(2026, 12, 8);
    LicenceTerms archived = terms(QStringLiteral("Old"), today.addDays(-5), today.addDays(2), 12);
    archived.archived = true;
    EXPECT_TRUE(LicenceDue::occurrences(archived, today).isEmpty());
    EXPECT_TRUE(LicenceDue::dueEntries(QList<LicenceTerms> {archived}, today, 1000).isEmpty());
}

TEST(LicenceDue, TheListIsSortedByDateThenTitleWithBothKindsOfAProduct)
{
    const QDate today = day(2026, 12, 8);
    const QList<LicenceTerms> products {
        terms(QStringLiteral("zeta"), today.addDays(5)),
        terms(QStringLiteral("Alpha"), today.addDays(5), day(2025, 12, 20), 12),
        terms(QStringLiteral("beta"), today.addDays(-1)),
        terms(QStringLiteral("Nothing")),
    };
    const QList<LicenceDueEntry> due = LicenceDue::dueEntries(products, today, 30);
    QStringList order;
    for (const LicenceDueEntry& entry : due) {
        order.append(entry.title + QLatin1Char('/') + entry.kindName() + QLatin1Char('/')
                     + QString::number(entry.daysLeft));
    }
    EXPECT_EQ(order,
              (QStringList {QStringLiteral("beta/expiry/-1"), QStringLiteral("Alpha/expiry/5"),
                            QStringLiteral("zeta/expiry/5"), QStringLiteral("Alpha/renewal/12")}));
    EXPECT_EQ(LicenceDue::dueProducts(due).size(), 3);
}
