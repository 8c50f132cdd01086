#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/Log.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QDate>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace {

class TotalsCommandTest : public ::testing::Test
{
protected:
    TotalsCommandTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    void add(const QString& title, const QString& price, const QString& currency, const QString& date)
    {
        const CliResult added = run({QStringLiteral("add"), QStringLiteral("--title"), title,
                                     QStringLiteral("purchaseCurrency=") + currency,
                                     QStringLiteral("purchasePrice=") + price, QStringLiteral("purchaseDate=") + date});
        ASSERT_EQ(added.status, 0) << added.err.toStdString();
    }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(TotalsCommandTest, JsonAndTableShowTheSameTotalsPerCurrency)
{
    const CliResult empty = run({QStringLiteral("totals"), QStringLiteral("--json")});
    ASSERT_EQ(empty.status, 0) << empty.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(empty.out.toUtf8()).array().size(), 0) << "no library yet, nothing spent";

    add(QStringLiteral("Editor"), QStringLiteral("29.95"), QStringLiteral("$"), QStringLiteral("2009-03-25"));
    add(QStringLiteral("Compiler"), QStringLiteral("0.05"), QStringLiteral("$"), QStringLiteral("2009-11-02"));
    add(QStringLiteral("Fonts"), QStringLiteral("20.50"), QStringLiteral("€"), QStringLiteral("2009-05-01"));

    const CliResult json
        = run({QStringLiteral("totals"), QStringLiteral("--by"), QStringLiteral("year"), QStringLiteral("--json")});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_GE(rows.size(), 2);
    // Keymoor's own record, bought today, makes a later year; 2009 comes first.
    EXPECT_EQ(rows[0].toObject(),
              QJsonObject({{QStringLiteral("group"), QStringLiteral("2009")},
                           {QStringLiteral("currency"), QStringLiteral("EUR")},
                           {QStringLiteral("total"), QStringLiteral("20.50")},
                           {QStringLiteral("count"), 1},
                           {QStringLiteral("annualRecurring"), QStringLiteral("0.00")}}));
    EXPECT_EQ(rows[1][QStringLiteral("currency")], QStringLiteral("USD"));
    EXPECT_EQ(rows[1][QStringLiteral("total")], QStringLiteral("30.00"));
    EXPECT_EQ(rows[1][QStringLiteral("count")], 2);

    const CliResult table = run({QStringLiteral("totals")});
    ASSERT_EQ(table.status, 0) << table.err.toStdString();
    const QStringList lines = table.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), rows.size() + 1);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Group"))) << lines[0].toStdString();
    EXPECT_EQ(lines[2].simplified(), QStringLiteral("2009 USD 30.00 2 0.00"));
    // The numbers line up on the right.
    EXPECT_EQ(lines[1].indexOf(QStringLiteral("20.50")) + 5, lines[2].indexOf(QStringLiteral("30.00")) + 5);

    const CliResult byCurrency
        = run({QStringLiteral("totals"), QStringLiteral("--by=currency"), QStringLiteral("--json")});
    const QJsonArray currencies = QJsonDocument::fromJson(byCurrency.out.toUtf8()).array();
    ASSERT_EQ(currencies.size(), 2);
    EXPECT_EQ(currencies[1][QStringLiteral("group")], QStringLiteral("USD"));
    EXPECT_EQ(currencies[1][QStringLiteral("count")], 3) << "Keymoor's own record has no price and still counts";
}

TEST_F(TotalsCommandTest, UnknownGroupingsAndStrayArgumentsAreRefused)
{
    for (const QStringList& arguments :
         {QStringList {QStringLiteral("totals"), QStringLiteral("--by"), QStringLiteral("month")},
          QStringList {QStringLiteral("totals"), QStringLiteral("--by=")},
          QStringList {QStringLiteral("totals"), QStringLiteral("2009")}}) {
        const CliResult refused = run(arguments);
        EXPECT_EQ(refused.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(refused.out.isEmpty());
    }
    const CliResult month = run({QStringLiteral("totals"), QStringLiteral("--by"), QStringLiteral("month")});
    EXPECT_TRUE(month.err.contains(QStringLiteral("\"month\""))) << month.err.toStdString();
    EXPECT_TRUE(month.err.contains(QStringLiteral("year, publisher, currency, type")));
}
