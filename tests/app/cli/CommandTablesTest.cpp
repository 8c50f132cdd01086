#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/Commands.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Every registered command and form, checked against its own table.
class CommandTablesTest : public ::testing::Test
{
protected:
    CommandTablesTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
    }

    CliResult run(const QStringList& arguments) { return runCommandLine(m_commandLine, arguments); }

    // The words that call a form ("import csv") and one argument after them, so that the option
    // that follows is not taken for the sub-command of `import FILE...`.
    static QStringList formWords(const CommandOptions& form)
    {
        return form.command().split(u' ') + QStringList {QStringLiteral("x")};
    }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(CommandTablesTest, HelpShowsEveryDeclaredArgumentAndOptionWithItsHelp)
{
    ASSERT_GT(m_commandLine.commands().size(), 15);
    for (const CliCommand& command : m_commandLine.commands()) {
        const CliResult result = run({command.name, QStringLiteral("--help")});
        EXPECT_EQ(result.status, 0);
        const QString help = result.out.simplified();
        const std::string name = command.name.toStdString();
        EXPECT_TRUE(result.out.startsWith(QStringLiteral("Usage: keymoor ") + command.name)) << name;
        EXPECT_TRUE(help.contains(command.description.simplified())) << name;
        EXPECT_TRUE(help.contains(QLatin1String("--help, -h show this help"))) << name;
        for (const CommandOptions& form : command.forms) {
            for (const auto& [names, text] : form.helpRows()) {
                EXPECT_TRUE(help.contains(names + u' ' + text.simplified())) << name << ": " << names.toStdString();
            }
        }
        for (const QString& line : result.out.split(u'\n')) {
            EXPECT_LE(line.size(), 110) << name << ": " << line.toStdString();
        }
    }
}

TEST_F(CommandTablesTest, EveryFormRefusesAnUnknownOptionAndAMissingValueAlike)
{
    for (const CliCommand& command : m_commandLine.commands()) {
        for (const CommandOptions& form : command.forms) {
            const QStringList words = formWords(form);
            const std::string name = form.command().toStdString();
            CliResult result = run(words + QStringList {QStringLiteral("--frobnicate")});
            EXPECT_EQ(result.status, 2) << name;
            EXPECT_EQ(result.err,
                      QStringLiteral("keymoor: unknown option --frobnicate\nUsage: ") + form.usageLine() + u'\n')
                << name;
            EXPECT_TRUE(result.out.isEmpty()) << name;
            for (const CliOption& option : form.options()) {
                if (option.valueName.isEmpty()) {
                    continue;
                }
                result = run(words + QStringList {QStringLiteral("--") + option.name});
                EXPECT_EQ(result.status, 2) << name;
                EXPECT_TRUE(result.err.startsWith(QStringLiteral("keymoor: --%1 needs a value\n").arg(option.name)))
                    << name << ": " << result.err.toStdString();
            }
        }
    }
    // Nothing got as far as writing a library.
    EXPECT_FALSE(QFileInfo::exists(LibraryPaths::persistentStoreURL()));
}
