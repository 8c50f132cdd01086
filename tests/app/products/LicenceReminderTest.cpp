// Reminders of due licences: one notification per product and day through a stub service on the
// test's session bus, the log that remembers them, and the lines alone when nobody shows them.
#include "products/LicenceReminder.h"

#include "NotificationServiceStub.h"
#include "model/CurrencyCodes.h"
#include "products/ReminderLog.h"
#include "products/ReminderNotifier.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate Today(2026, 12, 8);

LicenceTerms product(const QString& title, int expiresInDays, int renewsInDays)
{
    LicenceTerms terms;
    terms.uuid = title.toUpper();
    terms.title = title;
    terms.expiryDate = Today.addDays(expiresInDays);
    terms.renewalDate = Today.addDays(renewsInDays);
    terms.renewalPrice = Persistence::Decimal::fromString(u"49.00");
    terms.currencySymbol = QStringLiteral("$");
    return terms;
}

QList<LicenceDueEntry> dueEntries()
{
    return LicenceDue::dueEntries(
        QList<LicenceTerms> {product(QStringLiteral("Editor"), 10, 20), product(QStringLiteral("Old"), -3, 400)}, Today,
        std::nullopt);
}

QString testServiceName()
{
    return QStringLiteral("org.keymoor.test.Notifications%1").arg(QCoreApplication::applicationPid());
}

} // namespace

TEST(LicenceReminder, OneNotificationPerProductAndDay)
{
    NotificationServiceStub service;
    if (!service.registerAs(testServiceName())) {
        GTEST_SKIP() << "no session bus for a stub notification service";
    }
    QTemporaryDir state;
    const QString path = state.filePath(QStringLiteral("Keymoor/reminders.json"));
    const ReminderNotifier notifier(testServiceName());
    const CurrencyCodes codes;
    {
        ReminderLog log(path);
        EXPECT_FALSE(log.load());
        const LicenceReminder::Result result = LicenceReminder(log, notifier).remind(dueEntries(), codes, Today);
        EXPECT_TRUE(result.notificationsShown);
        EXPECT_EQ(result.notified, 2);
        EXPECT_EQ(result.lines.size(), 3) << "Editor's expiry and renewal, Old's expiry";
        EXPECT_TRUE(result.warning.isEmpty()) << result.warning.toStdString();
    }
    ASSERT_EQ(service.shown.size(), 2);
    EXPECT_EQ(service.shown.at(0).appName, QStringLiteral("Keymoor"));
    EXPECT_EQ(service.shown.at(0).icon, QStringLiteral("org.keymoor.Keymoor"));
    EXPECT_TRUE(service.shown.at(0).summary.contains(QStringLiteral("Old"))) << "sorted by date: the past first";
    EXPECT_EQ(service.shown.at(1).body.count(u'\n'), 1) << "both dates of a product in one notification";
    EXPECT_TRUE(service.shown.at(1).body.contains(QStringLiteral("in 10 days")));
    EXPECT_TRUE(service.shown.at(1).body.contains(QStringLiteral("renewal, 49.00 USD")));

    // The same day again, read back from the file: nothing new.
    ReminderLog again(path);
    ASSERT_TRUE(again.load());
    LicenceReminder::Result repeat = LicenceReminder(again, notifier).remind(dueEntries(), codes, Today);
    EXPECT_EQ(repeat.notified, 0);
    EXPECT_TRUE(repeat.lines.isEmpty());
    EXPECT_EQ(service.shown.size(), 2);

    // The next day they come again.
    repeat = LicenceReminder(again, notifier).remind(dueEntries(), codes, Today.addDays(1));
    EXPECT_EQ(repeat.notified, 2);
}

TEST(LicenceReminder, WithoutABusOrServiceTheLinesAreAllAndNothingIsRemembered)
{
    const QDBusConnection noBus = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/keymoor-test-bus"), QStringLiteral("keymoor-no-bus"));
    ASSERT_FALSE(noBus.isConnected());
    const ReminderNotifier withoutBus(QString::fromLatin1(ReminderNotifier::DefaultService), noBus);
    const ReminderNotifier withoutService(testServiceName() + QStringLiteral(".Missing"));
    for (const ReminderNotifier* notifier : {&withoutBus, &withoutService}) {
        QTemporaryDir state;
        const QString path = state.filePath(QStringLiteral("reminders.json"));
        ReminderLog log(path);
        const LicenceReminder::Result result
            = LicenceReminder(log, *notifier).remind(dueEntries(), CurrencyCodes(), Today);
        EXPECT_FALSE(result.notificationsShown);
        EXPECT_EQ(result.notified, 0);
        EXPECT_EQ(result.lines.size(), 3);
        EXPECT_FALSE(QFile::exists(path)) << "the next run tries again";
    }
}

TEST(ReminderLog, ADamagedLogIsEmptyAndReplacedAndOldDaysAreDropped)
{
    QTemporaryDir state;
    const QString path = state.filePath(QStringLiteral("reminders.json"));
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) && damaged.write("{\"A\": \"2026-12-08\", garbage") > 0);
    damaged.close();

    ReminderLog log(path);
    EXPECT_FALSE(log.load());
    EXPECT_FALSE(log.wasRemindedOn(QStringLiteral("A"), Today));
    log.markReminded(QStringLiteral("A"), Today.addDays(-1));
    log.markReminded(QStringLiteral("B"), Today);
    ASSERT_TRUE(log.save(Today));

    ReminderLog read(path);
    ASSERT_TRUE(read.load());
    EXPECT_TRUE(read.wasRemindedOn(QStringLiteral("B"), Today));
    EXPECT_FALSE(read.wasRemindedOn(QStringLiteral("A"), Today.addDays(-1))) << "yesterday is forgotten";
}
