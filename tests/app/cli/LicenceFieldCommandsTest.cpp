#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QCryptographicHash>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class LicenceFieldCommandsTest : public ::testing::Test
{
protected:
    LicenceFieldCommandsTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }
    QJsonObject show(const QString& title) { return showProductJson(m_commandLine, title); }

    static QByteArray storeHash()
    {
        QFile file(LibraryPaths::persistentStoreURL());
        file.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(LicenceFieldCommandsTest, SetShowsTheFieldsUnderTheirOwnNamesAndClearsThem)
{
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Test App"),
                   QStringLiteral("purchaseDate=2026-01-10")})
                  .status,
              0);
    QJsonObject app = show(QStringLiteral("Test App"));
    for (const char* key : {"licenseType", "expiryDate", "renewalDate", "renewalPeriodMonths", "renewalPrice", "seats",
                            "remindDaysBefore"}) {
        EXPECT_TRUE(app.contains(QLatin1String(key)) && app.value(QLatin1String(key)).isNull()) << key;
    }

    const CliResult set
        = run({QStringLiteral("set"), QStringLiteral("Test App"), QStringLiteral("expiryDate=2027-01-15"),
               QStringLiteral("licenseType=Subscription"), QStringLiteral("renewalDate=March 1, 2026"),
               QStringLiteral("renewalPeriodMonths=12"), QStringLiteral("renewalPrice=49.00"),
               QStringLiteral("seats=3"), QStringLiteral("remindDaysBefore=14"), QStringLiteral("archived=yes")});
    ASSERT_EQ(set.status, 0) << set.err.toStdString();
    app = show(QStringLiteral("Test App"));
    EXPECT_EQ(app.value(QStringLiteral("expiryDate")).toString(), QStringLiteral("2027-01-15"));
    EXPECT_EQ(app.value(QStringLiteral("renewalDate")).toString(), QStringLiteral("2026-03-01"));
    EXPECT_EQ(app.value(QStringLiteral("licenseType")).toString(), QStringLiteral("subscription"));
    EXPECT_EQ(app.value(QStringLiteral("renewalPrice")).toString(), QStringLiteral("49.00"));
    EXPECT_EQ(app.value(QStringLiteral("renewalPeriodMonths")).toInt(), 12);
    EXPECT_EQ(app.value(QStringLiteral("seats")).toInt(), 3);
    EXPECT_EQ(app.value(QStringLiteral("remindDaysBefore")).toInt(), 14);
    EXPECT_EQ(app.value(QStringLiteral("archived")).toBool(), true);
    EXPECT_TRUE(app.value(QStringLiteral("purchaseDate")).toString().endsWith(u'Z')) << "other dates keep their form";

    const CliResult text = run({QStringLiteral("show"), QStringLiteral("Test App")});
    EXPECT_TRUE(text.out.contains(QStringLiteral("expiryDate: 2027-01-15\n"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("licenseType: subscription\n")));

    ASSERT_EQ(run({QStringLiteral("set"), QStringLiteral("Test App"), QStringLiteral("expiryDate="),
                   QStringLiteral("seats="), QStringLiteral("archived=no")})
                  .status,
              0);
    app = show(QStringLiteral("Test App"));
    EXPECT_TRUE(app.value(QStringLiteral("expiryDate")).isNull());
    EXPECT_TRUE(app.value(QStringLiteral("seats")).isNull());
    EXPECT_EQ(app.value(QStringLiteral("archived")).toBool(), false);
    EXPECT_EQ(app.value(QStringLiteral("renewalPeriodMonths")).toInt(), 12);
    EXPECT_FALSE(run({QStringLiteral("show"), QStringLiteral("Test App")}).out.contains(QStringLiteral("expiryDate")));
}

TEST_F(LicenceFieldCommandsTest, ABadFieldRefusesTheWholeCommand)
{
    ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Editor"),
                   QStringLiteral("purchaseDate=2026-05-01"), QStringLiteral("seats=2")})
                  .status,
              0);
    const QByteArray before = storeHash();
    struct Case
    {
        QStringList arguments;
        const char* named;
    };
    const QList<Case> refused {
        {{QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("seats=4"),
          QStringLiteral("expiryDate=soon")},
         "expiryDate"},
        {{QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("renewalDate=2026-04-30")}, "renewalDate"},
        // The purchase moves after a renewal set in the same command: still refused.
        {{QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("renewalDate=2026-06-01"),
          QStringLiteral("purchaseDate=2026-07-01")},
         "renewalDate"},
        // A price is read in the currency the same command sets.
        {{QStringLiteral("set"), QStringLiteral("Editor"), QStringLiteral("purchaseCurrency=\u20AC"),
          QStringLiteral("renewalPrice=49.00")},
         "renewalPrice"},
        {{QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Other"), QStringLiteral("seats=x")},
         "seats"},
    };
    for (const Case& c : refused) {
        const CliResult result = run(c.arguments);
        EXPECT_NE(result.status, 0) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(QLatin1String(c.named) + u':')) << result.err.toStdString();
    }
    EXPECT_EQ(storeHash(), before);
    EXPECT_EQ(show(QStringLiteral("Editor")).value(QStringLiteral("seats")).toInt(), 2);

    // The euro's own form is taken.
    const CliResult euro = run({QStringLiteral("set"), QStringLiteral("Editor"),
                                QStringLiteral("purchaseCurrency=\u20AC"), QStringLiteral("renewalPrice=1.049,50")});
    ASSERT_EQ(euro.status, 0) << euro.err.toStdString();
    EXPECT_EQ(show(QStringLiteral("Editor")).value(QStringLiteral("renewalPrice")).toString(),
              QStringLiteral("1049.5"));
}
