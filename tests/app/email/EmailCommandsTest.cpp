#include "cli/EmailCommands.h"

#include "EmailTestSupport.h"
#include "cli/CommandLine.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

struct CommandRun
{
    int status = 0;
    QString out;
    QString err;
};

CommandRun run(const QStringList& arguments)
{
    CommandLine commandLine;
    registerEmailCommands(commandLine);
    CommandRun result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    CliStreams streams {out, err};
    LogCapture log;
    result.status = commandLine.run(arguments, streams);
    out.flush();
    err.flush();
    return result;
}

} // namespace

TEST(EmailCommands, EmailShowsHeadersAndText)
{
    const QString path = emailDataPath(QStringLiteral("messages/multipart-alternative.eml"));
    const CommandRun json = run({QStringLiteral("email"), path, QStringLiteral("--json")});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(object.value(QLatin1String("subject")).toString(), QStringLiteral("Your receipt"));
    EXPECT_EQ(object.value(QLatin1String("to")).toString(),
              QStringLiteral("\"Appleseed, Jane\" <jane.appleseed@example.com>"));
    EXPECT_EQ(object.value(QLatin1String("date")).toString(), QStringLiteral("2023-02-06T14:30:00Z"));
    EXPECT_EQ(object.value(QLatin1String("contentType")).toString(),
              QStringLiteral("multipart/alternative; boundary=\"alt-1\""));
    EXPECT_TRUE(object.value(QLatin1String("hasHTML")).toBool());
    EXPECT_TRUE(
        object.value(QLatin1String("text")).toString().contains(QStringLiteral("Serial Number: ALT-1111-2222\n")));

    const CommandRun plain = run({QStringLiteral("email"), emailDataPath(QStringLiteral("messages/plain-7bit.eml"))});
    EXPECT_EQ(plain.status, 0);
    EXPECT_TRUE(
        plain.out.startsWith(QStringLiteral("Subject: Your order 4471\nFrom: Example Store <store@example.com>\n")));
    EXPECT_TRUE(plain.out.contains(QStringLiteral("\nHTML: no\n\nHello Jane,")));
}

TEST(EmailCommands, ScanPrintsSerialEmailAndDate)
{
    const CommandRun json = run(
        {QStringLiteral("scan"), QStringLiteral("--json"), emailDataPath(QStringLiteral("serials/serial-colon.eml"))});
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              QStringLiteral("{\"serial\": \"SER-7781-2290-1123\", \"email\": \"jane.appleseed@example.com\", "
                             "\"date\": \"2023-03-14T08:26:53Z\"}\n"));
    const CommandRun none = run({QStringLiteral("scan"), QStringLiteral("--json"),
                                 emailDataPath(QStringLiteral("serials/textmate-without-key-block.eml"))});
    EXPECT_EQ(none.out, QStringLiteral("{\"serial\": null, \"email\": null, \"date\": null}\n"));
    const CommandRun multiLine = run({QStringLiteral("scan"), QStringLiteral("--json"),
                                      emailDataPath(QStringLiteral("serials/multiple-keys-pick-one.eml"))});
    EXPECT_EQ(QJsonDocument::fromJson(multiLine.out.toUtf8()).object().value(QLatin1String("serial")).toString(),
              QStringLiteral("AbCdEf0123456789+/xyzXYZ\nQWERTY0987654321ab=="));
    const CommandRun plain = run({QStringLiteral("scan"), emailDataPath(QStringLiteral("serials/serial-colon.eml"))});
    EXPECT_TRUE(
        plain.out.startsWith(QStringLiteral("Serial: SER-7781-2290-1123\nE-mail: jane.appleseed@example.com\n")));
}

TEST(EmailCommands, BadInputIsAClearErrorWithAFailingStatus)
{
    QTemporaryDir dir;
    QFile notes(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("just some notes\n");
    notes.close();
    struct Case
    {
        QStringList arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{QStringLiteral("scan"), dir.filePath(QStringLiteral("missing.eml"))}, 1, "no such file"},
        {{QStringLiteral("email"), notes.fileName()}, 1, "not an e-mail message"},
        {{QStringLiteral("scan"), dir.path()}, 1, "not a file"},
        {{QStringLiteral("scan")}, 2, "missing FILE"},
        {{QStringLiteral("email"), QStringLiteral("a.eml"), QStringLiteral("b.eml")}, 2, "only one FILE"},
        {{QStringLiteral("scan"), QStringLiteral("--xml"), QStringLiteral("a.eml")}, 2, "unknown option --xml"},
    };
    for (const Case& c : cases) {
        const CommandRun result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_TRUE(result.err.contains(QLatin1String(c.message))) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
}
