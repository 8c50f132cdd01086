#include "cli/CommandLine.h"

#include "../../support/CliRunner.h"
#include "base/AppInfo.h"
#include "support/TestData.h"

#include <QTextStream>

#include <gtest/gtest.h>

TEST(CommandLine, VersionComesFromTheApplicationPropertyList)
{
    EXPECT_FALSE(AppInfo::shortVersion().isEmpty());
    EXPECT_GT(AppInfo::modelVersion(), 4);
    const CliResult result = runCommandLine(CommandLine(), {QStringLiteral("--version")});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.contains(AppInfo::prettyAppVersion()));
    EXPECT_EQ(AppInfo::prettyAppVersion(), AppInfo::shortVersion() + " (" + AppInfo::bundleVersion() + ")");
}

TEST(CommandLine, DispatchesCommandsAndTheirHelp)
{
    CommandLine commandLine;
    QStringList seen;
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("print the arguments"), QString(),
        CommandOptions(QStringLiteral("echo"), {}, {{QStringLiteral("WORD..."), QStringLiteral("the words")}}),
        [&seen](const CommandArguments& args, CliStreams& s) {
            seen = args.positional();
            s.out << seen.join(' ');
            return 0;
        }));
    CliResult result = runCommandLine(commandLine, {QStringLiteral("--help")});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.contains(QStringLiteral("echo")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("print the arguments")));

    result = runCommandLine(commandLine, {QStringLiteral("echo"), QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(seen, QStringList({QStringLiteral("a"), QStringLiteral("b")}));

    result = runCommandLine(commandLine, {QStringLiteral("echo"), QStringLiteral("--help")});
    EXPECT_TRUE(result.out.contains(QStringLiteral("Usage: keymoor echo")));

    result = runCommandLine(commandLine, {QStringLiteral("frobnicate")});
    EXPECT_NE(result.status, 0);
    EXPECT_TRUE(result.err.contains(QStringLiteral("unknown command")));
    EXPECT_TRUE(result.out.isEmpty());
}

TEST(CommandLine, ExistingFilesAreOpenedInTheWindowCommandsRunHeadless)
{
    CommandLine commandLine;
    commandLine.addCommand({QStringLiteral("list"),
                            QStringLiteral("list"),
                            QString(),
                            {CommandOptions(QStringLiteral("list"))},
                            [](const QStringList&, CliStreams&) { return 0; }});
    const QString sample = testDataPath("/record/Sample.app");
    const QString folder = testDataPath("/record");
    struct Case
    {
        QStringList arguments;
        bool opensFiles;
    };
    const Case cases[] = {
        {{sample}, true},
        {{sample, folder}, true},
        {{sample, QStringLiteral("/no/such/file")}, false},
        {{QStringLiteral("list")}, false},
        {{QStringLiteral("list"), sample}, false},
        {{QStringLiteral("help")}, false},
        {{QStringLiteral("--help")}, false},
        {{QString()}, false},
        {{}, false},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(commandLine.isFileOpenRequest(test.arguments), test.opensFiles)
            << test.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(commandLine.wantsCommandLine(test.arguments), !test.arguments.isEmpty() && !test.opensFiles);
    }
}
