// due, remind and export ics over a real library: what they list, print and write, and the
// arguments they refuse.
#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "../products/NotificationServiceStub.h"
#include "base/Log.h"
#include "cli/CliSession.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "model/ProductEntity.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>

namespace {

class LicenceCommandsTest : public ::testing::Test
{
protected:
    LicenceCommandsTest()
        : m_savedState(qgetenv("XDG_STATE_HOME"))
    {
        Log::setEchoToStandardError(false);
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_state.path()));
        registerCommands(m_commandLine);
    }
    ~LicenceCommandsTest() override { qputenv("XDG_STATE_HOME", m_savedState); }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    // Adds a product and sets its licence dates in a session of the test's own.
    void addProduct(const QString& title, const std::function<void(ProductEntity*)>& edit)
    {
        ASSERT_EQ(run({QStringLiteral("add"), QStringLiteral("--title"), title}).status, 0);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        CliStreams streams {outStream, errStream};
        CliSession session(streams, KeymoorAppDelegate::OpenMode::ReadWrite);
        ASSERT_TRUE(session.open());
        ProductEntity* product = session.findProduct(title);
        ASSERT_NE(product, nullptr);
        edit(product);
        ASSERT_TRUE(session.save());
        session.finish();
    }

    QJsonArray dueJson(const QStringList& options = {})
    {
        const CliResult result = run(QStringList {QStringLiteral("due"), QStringLiteral("--json")} + options);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        return QJsonDocument::fromJson(result.out.toUtf8()).array();
    }

    void addSubscription()
    {
        addProduct(QStringLiteral("Test App"), [](ProductEntity* product) {
            product->setExpiryDate(QDate::currentDate().addDays(10));
            product->setLicenseType(QStringLiteral("subscription"));
            product->setRenewalPeriodMonths(12);
            product->setRenewalPrice(Persistence::Decimal::fromString(u"49.00"));
        });
    }

    TemporaryUserFolders m_folders;
    QTemporaryDir m_state;
    QByteArray m_savedState;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(LicenceCommandsTest, DueListsSoonAndPastDatesButNotArchivedOrDistantOnes)
{
    const QDate today = QDate::currentDate();
    addSubscription();
    addProduct(QStringLiteral("Renews Yearly"), [&](ProductEntity* product) {
        product->setRenewalDate(today.addDays(40).addYears(-1)); // next: in 40 days
        product->setRenewalPeriodMonths(12);
    });
    addProduct(QStringLiteral("Expired"), [&](ProductEntity* product) { product->setExpiryDate(today.addDays(-3)); });
    addProduct(QStringLiteral("Archived"), [&](ProductEntity* product) {
        product->setExpiryDate(today.addDays(1));
        product->setArchived(true);
    });

    const QJsonArray within30 = dueJson({QStringLiteral("--within"), QStringLiteral("30")});
    ASSERT_EQ(within30.size(), 2);
    EXPECT_EQ(within30[0][QStringLiteral("title")], QStringLiteral("Expired"));
    EXPECT_EQ(within30[0][QStringLiteral("daysLeft")], -3);
    const QJsonObject app = within30[1].toObject();
    EXPECT_EQ(app[QStringLiteral("title")], QStringLiteral("Test App"));
    EXPECT_EQ(app[QStringLiteral("kind")], QStringLiteral("expiry"));
    EXPECT_EQ(app[QStringLiteral("daysLeft")], 10);
    EXPECT_EQ(app[QStringLiteral("date")], today.addDays(10).toString(Qt::ISODate));
    EXPECT_EQ(app[QStringLiteral("renewalPrice")], QStringLiteral("49.00"));
    EXPECT_EQ(app[QStringLiteral("currency")], QStringLiteral("USD"));
    EXPECT_EQ(app.keys(),
              (QStringList {QStringLiteral("currency"), QStringLiteral("date"), QStringLiteral("daysLeft"),
                            QStringLiteral("kind"), QStringLiteral("renewalPrice"), QStringLiteral("title"),
                            QStringLiteral("uuid")}));

    const QJsonArray within50 = dueJson({QStringLiteral("--within=50")});
    ASSERT_EQ(within50.size(), 3);
    EXPECT_EQ(within50[2][QStringLiteral("kind")], QStringLiteral("renewal"));
    EXPECT_EQ(within50[2][QStringLiteral("daysLeft")], 40);
    EXPECT_EQ(dueJson().size(), 2) << "30 days of lead by default";

    const CliResult text = run({QStringLiteral("due")});
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(
        text.out.contains(today.addDays(10).toString(Qt::ISODate) + QStringLiteral("  in 10 days  Test App  (expiry)")))
        << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("3 days ago  Expired  (expiry)"))) << text.out.toStdString();
}

TEST_F(LicenceCommandsTest, BadDaysAreRefused)
{
    for (const QString& days : {QStringLiteral("-1"), QStringLiteral("ten"), QStringLiteral("")}) {
        for (const QStringList& command : {QStringList {QStringLiteral("due")},
                                           QStringList {QStringLiteral("export"), QStringLiteral("ics"),
                                                        m_state.filePath(QStringLiteral("k.ics"))}}) {
            const CliResult result = run(command + QStringList {QStringLiteral("--within"), days});
            EXPECT_EQ(result.status, 2) << days.toStdString();
            EXPECT_TRUE(result.err.contains(QStringLiteral("--within"))) << result.err.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(m_state.filePath(QStringLiteral("k.ics"))));
    EXPECT_EQ(
        run({QStringLiteral("export"), QStringLiteral("ics"), m_state.filePath(QStringLiteral("no/k.ics"))}).status, 1);
}

TEST_F(LicenceCommandsTest, ExportIcsWritesEveryDateOrOnlyTheDueOnes)
{
    addSubscription();
    addProduct(QStringLiteral("Far Away"),
               [](ProductEntity* product) { product->setExpiryDate(QDate::currentDate().addDays(300)); });
    const QString path = m_state.filePath(QStringLiteral("k.ics"));
    for (const auto& [within, events] :
         {std::pair {QStringList {}, 2}, {QStringList {QStringLiteral("--within=30")}, 1}}) {
        const CliResult result = run(QStringList {QStringLiteral("export"), QStringLiteral("ics"), path} + within);
        ASSERT_EQ(result.status, 0) << result.err.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_EQ(text.count("BEGIN:VEVENT"), events);
        EXPECT_TRUE(text.contains("SUMMARY:Licence of Test App expires\r\n"));
        EXPECT_EQ(text.contains("Far Away"), events == 2);
    }
}

TEST_F(LicenceCommandsTest, RemindNotifiesOncePerDayOrPrintsWithoutAService)
{
    addSubscription();
    NotificationServiceStub service;
    if (!service.registerAs(QStringLiteral("org.freedesktop.Notifications"))) {
        // A real notification service owns the name (or there is no bus): only the plain path.
        const CliResult printed = run({QStringLiteral("remind")});
        EXPECT_EQ(printed.status, 0);
        GTEST_SKIP() << "the notification service name is taken on this bus";
    }
    CliResult result = run({QStringLiteral("remind")});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    ASSERT_EQ(service.shown.size(), 1);
    EXPECT_TRUE(service.shown.first().summary.contains(QStringLiteral("Test App")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("in 10 days  Test App"))) << result.out.toStdString();
    EXPECT_TRUE(QFile::exists(m_state.filePath(QStringLiteral("Keymoor/reminders.json"))));

    result = run({QStringLiteral("remind")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(service.shown.size(), 1) << "once per product and day";
    EXPECT_TRUE(result.out.isEmpty());
}
