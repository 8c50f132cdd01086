#include "software/DesktopApplicationLaunch.h"

#include "software/DesktopApplicationIndex.h"
#include "software/DesktopEntryExec.h"
#include "support/TestData.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString LaunchFixtures = testDataPath("/platform/software/entries/launch");

QStringList splitText(const QString& exec, QString* error)
{
    const auto arguments = DesktopEntryExec::split(exec, error);
    if (!arguments) {
        return {QStringLiteral("<error>")};
    }
    QStringList texts;
    for (const DesktopEntryExec::Argument& argument : *arguments) {
        texts.append(argument.text);
    }
    return texts;
}

TEST(DesktopEntryExec, SplitsByQuotingAndRefusesShellSyntax)
{
    const std::pair<const char16_t*, QStringList> cases[] = {
        {u"prog  \"a b\"\tc ", {"prog", "a b", "c"}},
        {u"prog \"\" tail", {"prog", "", "tail"}},
        {u"prog \"say \\\"hi\\\"\" \"\\$HOME\" \"back\\\\slash\" \"a\\`b\" \"keep \\x\"",
         {"prog", "say \"hi\"", "$HOME", "back\\slash", "a`b", "keep \\x"}},
        {u"prog --title=\"two words\"", {"prog", "--title=two words"}},
        {u"prog ~/notes *.txt #1", {"prog", "~/notes", "*.txt", "#1"}},
        {u"", {}},
    };
    for (const auto& [exec, expected] : cases) {
        QString error;
        EXPECT_EQ(splitText(QString::fromUtf16(exec), &error), expected) << QString::fromUtf16(exec).toStdString();
    }
    for (const char* refused :
         {"prog \"open", "prog \"ends in backslash\\\"", "prog a|b", "prog 'single'", "prog $HOME", "prog a\\ b",
          "prog > out", "prog; other", "prog `x`", "prog (x)", "prog a&"}) {
        QString error;
        EXPECT_FALSE(DesktopEntryExec::split(QString::fromLatin1(refused), &error).has_value()) << refused;
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(DesktopEntryExec, FillsAndRemovesFieldCodes)
{
    const DesktopEntryExec::Fields two {{"/a.txt", "/b c.txt"}, "wind", "North Wind", "/apps/wind.desktop"};
    const DesktopEntryExec::Fields none {{}, QString(), "North Wind", QString()};
    struct Case
    {
        const char* exec;
        const DesktopEntryExec::Fields& fields;
        QStringList expected;
    };
    const Case cases[] = {
        {"prog %f", two, {"prog", "/a.txt"}},
        {"prog \"%f\"", two, {"prog", "/a.txt"}},
        {"prog %f", none, {"prog"}},
        {"prog %F --end", two, {"prog", "/a.txt", "/b c.txt", "--end"}},
        {"prog %U", none, {"prog"}},
        {"prog --file=%u", none, {"prog", "--file="}},
        {"prog %i", two, {"prog", "--icon", "wind"}},
        {"prog %i", none, {"prog"}},
        {"prog %c \"%k\"", two, {"prog", "North Wind", "/apps/wind.desktop"}},
        {"prog 100%% %d%D %n %N --v=%v %m \"\"", two, {"prog", "100%", "--v=", ""}},
    };
    for (const Case& test : cases) {
        QString error;
        const auto arguments = DesktopEntryExec::split(QString::fromLatin1(test.exec), &error);
        ASSERT_TRUE(arguments.has_value()) << test.exec;
        EXPECT_EQ(DesktopEntryExec::expand(*arguments, test.fields, &error), test.expected) << test.exec;
    }
    for (const char* refused : {"prog %z", "prog 50%", "prog \"%F\"", "prog x%U", "prog --icon=%i", "prog \"%i\""}) {
        QString error;
        const auto arguments = DesktopEntryExec::split(QString::fromLatin1(refused), &error);
        ASSERT_TRUE(arguments.has_value()) << refused;
        EXPECT_FALSE(DesktopEntryExec::expand(*arguments, two, &error).has_value()) << refused;
        EXPECT_FALSE(error.isEmpty());
    }
}

// The fixture's probe program first on PATH, its output in a fresh folder.
class DesktopApplicationLaunchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_path = qgetenv("PATH");
        m_output = qgetenv("KEYMOOR_LAUNCH_PROBE_OUTPUT");
        qputenv("PATH", QFile::encodeName(LaunchFixtures + QStringLiteral("/bin:")) + m_path);
        qputenv("KEYMOOR_LAUNCH_PROBE_OUTPUT", QFile::encodeName(m_folder.path()));
    }
    void TearDown() override
    {
        qputenv("PATH", m_path);
        qputenv("KEYMOOR_LAUNCH_PROBE_OUTPUT", m_output);
    }

    static DesktopApplication probe()
    {
        return DesktopApplicationIndex::readFile(LaunchFixtures
                                                 + QStringLiteral("/applications/org.example.Probe.desktop"))
            .value_or(DesktopApplication());
    }

    // The records the probe wrote, once there are as many as expected (or the wait gave up).
    QList<QStringList> waitForRecords(int count) const
    {
        const QDir folder(m_folder.path());
        QDeadlineTimer deadline(30000);
        while (folder.entryList(QDir::Files).size() < count && !deadline.hasExpired()) {
            QThread::msleep(20);
        }
        QList<QStringList> records;
        for (const QString& name : folder.entryList(QDir::Files)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly)) {
                records.append(QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts));
            }
        }
        return records;
    }

    QTemporaryDir m_folder;
    QByteArray m_path;
    QByteArray m_output;
};

TEST_F(DesktopApplicationLaunchTest, RunsTheCommandOfAnEntryWithoutAShell)
{
    const DesktopApplication application = probe();
    ASSERT_EQ(application.id, QStringLiteral("org.example.Probe"));
    QString error;
    ASSERT_TRUE(DesktopApplicationLaunch::launch(application, {QStringLiteral("/tmp/a file;$(x).txt")}, &error))
        << error.toStdString();
    const QList<QStringList> records = waitForRecords(1);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first(),
              QStringList({"/", "/tmp/a file;$(x).txt", "two words", "say \"hi\"", "costs $5", "back\\slash",
                           "--name=Probe", "100%", "--icon", "org.example.Probe"}));
}

TEST_F(DesktopApplicationLaunchTest, StartsOncePerFileWhenTheCommandTakesOne)
{
    QString error;
    ASSERT_TRUE(DesktopApplicationLaunch::launch(probe(), {QStringLiteral("/one"), QStringLiteral("/two")}, &error))
        << error.toStdString();
    QStringList files;
    for (const QStringList& record : waitForRecords(2)) {
        files.append(record.value(1));
    }
    files.sort();
    EXPECT_EQ(files, QStringList({"/one", "/two"}));
}

TEST_F(DesktopApplicationLaunchTest, ExplainsWhyAnEntryCannotStart)
{
    DesktopApplication application;
    application.name = QStringLiteral("Northwind");
    const std::pair<const char*, const char*> cases[] = {
        {"northwind-not-installed %U", "The program \u201Cnorthwind-not-installed\u201D of Northwind cannot be found."},
        {"", "Northwind has no command to start it."},
        {"%f", "The command of Northwind names no program."},
        {"keymoor-launch-probe \"open", "The command of Northwind cannot be read: a quotation mark is not closed."},
        {"keymoor-launch-probe %q",
         "The command of Northwind cannot be read: the field code \u201C%q\u201D is unknown."},
        {"/no/such/folder/northwind",
         "The program \u201C/no/such/folder/northwind\u201D of Northwind cannot be found."},
    };
    for (const auto& [exec, expected] : cases) {
        application.exec = QString::fromUtf8(exec);
        QString error;
        EXPECT_FALSE(DesktopApplicationLaunch::commandLine(application, {}, &error).has_value()) << exec;
        EXPECT_EQ(error, QString::fromUtf8(expected));
    }

    application.exec = QStringLiteral("keymoor-launch-probe");
    QString error;
    const std::optional<QStringList> command = DesktopApplicationLaunch::commandLine(application, {}, &error);
    ASSERT_TRUE(command.has_value()) << error.toStdString();
    EXPECT_EQ(*command, QStringList {LaunchFixtures + QStringLiteral("/bin/keymoor-launch-probe")});

    application.tryExec = QStringLiteral("northwind-helper");
    EXPECT_FALSE(DesktopApplicationLaunch::commandLine(application, {}, &error).has_value());
    EXPECT_EQ(error, QStringLiteral("The program \u201Cnorthwind-helper\u201D of Northwind cannot be found."));

    application.tryExec.clear();
    application.workingFolder = QStringLiteral("/no/such/folder");
    EXPECT_FALSE(DesktopApplicationLaunch::launch(application, {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/no/such/folder")));
    EXPECT_TRUE(waitForRecords(0).isEmpty());
}

} // namespace
