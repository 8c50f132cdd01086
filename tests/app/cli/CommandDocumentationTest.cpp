#include "cli/CommandCompletion.h"
#include "cli/CommandLine.h"
#include "cli/CommandManPage.h"
#include "cli/Commands.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The manual page and the bash completion, written from the registered commands.
class CommandDocumentationTest : public ::testing::Test
{
protected:
    CommandDocumentationTest() { registerCommands(m_commandLine); }

    // What the completion offers for the words typed so far (the last is the word being completed),
    // one word a line; the completion script runs in a real bash.
    QStringList complete(const QStringList& typed) const
    {
        QTemporaryDir folder;
        const QString script = folder.filePath(QStringLiteral("keymoor.bash"));
        QFile file(script);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(CommandCompletion::bashScript(m_commandLine).toUtf8());
        file.close();
        QStringList quoted;
        for (const QString& word : typed) {
            quoted.append(u'\'' + word + u'\'');
        }
        const QString program = QStringLiteral("source '%1'; COMP_WORDS=(keymoor %2); COMP_CWORD=%3; _keymoor; "
                                               "printf '%s\\n' \"${COMPREPLY[@]}\"")
                                    .arg(script, quoted.join(u' '))
                                    .arg(typed.size());
        QProcess bash;
        bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), program});
        EXPECT_TRUE(bash.waitForFinished());
        EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
        return QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    CommandLine m_commandLine;
};

} // namespace

TEST_F(CommandDocumentationTest, ManPageEscapesWhatRoffWouldReadAsMarkup)
{
    EXPECT_EQ(CommandManPage::escaped(QStringLiteral("--json")), QStringLiteral("\\-\\-json"));
    EXPECT_EQ(CommandManPage::escaped(QStringLiteral("C:\\path")), QStringLiteral("C:\\epath"));
    // A line of text starting with a dot or an apostrophe would be taken for a request.
    EXPECT_EQ(CommandManPage::escaped(QStringLiteral(".keymoor files")), QStringLiteral("\\&.keymoor files"));
    EXPECT_EQ(CommandManPage::escaped(QStringLiteral("'quoted'")), QStringLiteral("\\&'quoted'"));
}

TEST_F(CommandDocumentationTest, ManPageDocumentsEveryCommandAndOptionAndFormatsCleanly)
{
    const QString page = CommandManPage::text(m_commandLine, QStringLiteral("1.2.3"));
    EXPECT_TRUE(page.startsWith(QStringLiteral(".TH KEYMOOR 1 \"\" \"Keymoor 1.2.3\"")));
    ASSERT_GT(m_commandLine.commands().size(), 15);
    for (const CliCommand& command : m_commandLine.commands()) {
        EXPECT_TRUE(page.contains(QStringLiteral(".SS ") + CommandManPage::escaped(command.name) + u'\n'))
            << command.name.toStdString();
        for (const CommandOptions& form : command.forms) {
            for (const auto& [names, help] : form.helpRows()) {
                EXPECT_TRUE(page.contains(QStringLiteral(".B ") + CommandManPage::escaped(names) + u'\n'))
                    << command.name.toStdString() << ": " << names.toStdString();
            }
        }
    }
    for (const QString& line : page.split(u'\n')) {
        EXPECT_FALSE(line.startsWith(u'\'') || line.startsWith(QLatin1String(". "))) << line.toStdString();
    }

    // groff reads the page without a single warning (where groff is installed).
    if (QStandardPaths::findExecutable(QStringLiteral("groff")).isEmpty()) {
        GTEST_SKIP() << "groff is not installed";
    }
    QProcess groff;
    groff.start(QStringLiteral("groff"), {QStringLiteral("-man"), QStringLiteral("-ww"), QStringLiteral("-z")});
    ASSERT_TRUE(groff.waitForStarted());
    groff.write(page.toUtf8());
    groff.closeWriteChannel();
    ASSERT_TRUE(groff.waitForFinished());
    EXPECT_EQ(groff.exitCode(), 0);
    EXPECT_EQ(groff.readAllStandardError(), QByteArray());
}

TEST_F(CommandDocumentationTest, CompletionOffersCommandsFormsAndTheirOptions)
{
    EXPECT_EQ(complete({QStringLiteral("imp")}), QStringList {QStringLiteral("import")});
    EXPECT_EQ(complete({QStringLiteral("--v")}), QStringList {QStringLiteral("--version")});
    const QStringList forms = complete({QStringLiteral("import"), QString()});
    for (const char* form : {"csv", "library", "serial-keeper", "yojimbo"}) {
        EXPECT_TRUE(forms.contains(QLatin1String(form))) << form;
    }
    const QStringList options = complete({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("--")});
    EXPECT_TRUE(options.contains(QLatin1String("--map")));
    EXPECT_TRUE(options.contains(QLatin1String("--help")));
    EXPECT_EQ(complete({QStringLiteral("help"), QStringLiteral("imp")}), QStringList {QStringLiteral("import")});
}

TEST_F(CommandDocumentationTest, CompletionLeavesValuesAndPositionalArgumentsToFileNames)
{
    // After an option that takes a value, and past the form word, nothing is offered: bash then
    // completes file names (the script registers with -o default).
    EXPECT_TRUE(
        complete({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("--map"), QString()}).isEmpty());
    EXPECT_TRUE(complete({QStringLiteral("import"), QStringLiteral("csv"), QString()}).isEmpty());
    EXPECT_TRUE(complete({QStringLiteral("no-such-command"), QStringLiteral("--")}).isEmpty());
}
