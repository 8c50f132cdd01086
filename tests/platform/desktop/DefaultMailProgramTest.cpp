#include "desktop/DefaultMailProgram.h"

#include "desktop/DesktopEntry.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString Fixtures = testDataPath("/platform/desktop");
const QString FakeQuery = Fixtures + QStringLiteral("/bin/xdg-mime");

// Sets an environment variable for one test and restores it afterwards.
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : m_name(name)
        , m_previous(qgetenv(name))
        , m_wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable()
    {
        if (m_wasSet) {
            qputenv(m_name, m_previous);
        } else {
            qunsetenv(m_name);
        }
    }
    Q_DISABLE_COPY_MOVE(ScopedVariable)

private:
    const char* m_name;
    QByteArray m_previous;
    bool m_wasSet;
};

// The desktop files of the fixtures, installed in the user's XDG data folder as a desktop would.
class DefaultMailProgramTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const QString applications
            = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications");
        QDir().mkpath(applications + QStringLiteral("/vendor"));
        for (const char* name : {"example-mail.desktop", "nameless.desktop", "vendor/mailer.desktop"}) {
            const QString target = applications + QLatin1Char('/') + QLatin1String(name);
            QFile::remove(target);
            QFile::copy(Fixtures + QStringLiteral("/desktop-files/") + QLatin1String(name), target);
        }
    }

    static QString nameFor(const QByteArray& answer, QString* error)
    {
        const ScopedVariable handler("KEYMOOR_TEST_MAILTO_HANDLER", answer);
        DefaultMailProgram program;
        program.setQueryProgram(FakeQuery);
        return program.applicationName(error);
    }
};

TEST_F(DefaultMailProgramTest, NamesTheProgramOfTheDesktopFile)
{
    QString error;
    EXPECT_EQ(nameFor("example-mail.desktop", &error), QStringLiteral("Example Mail")) << error.toStdString();
    EXPECT_EQ(nameFor("vendor-mailer.desktop", &error), QStringLiteral("Vendor Mailer")) << error.toStdString();
}

TEST_F(DefaultMailProgramTest, IsEmptyWhenTheProgramIsUnknown)
{
    const char* const answers[] = {
        "", // nothing set
        "fail", // the query fails
        "unknown.desktop", // no such desktop file
        "nameless.desktop", // a desktop file without a name
        "../../../etc/passwd", // not a desktop file ID
        "../applications/example-mail.desktop",
        "example-mail", // no ".desktop"
    };
    for (const char* answer : answers) {
        QString error;
        EXPECT_TRUE(nameFor(answer, &error).isEmpty()) << answer;
        EXPECT_FALSE(error.isEmpty()) << answer;
    }
}

TEST_F(DefaultMailProgramTest, FindsTheQueryProgramOnThePath)
{
    const ScopedVariable path("PATH", (Fixtures + QStringLiteral("/bin:")).toUtf8() + qgetenv("PATH"));
    const ScopedVariable handler("KEYMOOR_TEST_MAILTO_HANDLER", "example-mail.desktop");
    EXPECT_EQ(DefaultMailProgram().desktopFileId(), QStringLiteral("example-mail.desktop"));

    const ScopedVariable noPath("PATH", "/nonexistent");
    QString error;
    EXPECT_TRUE(DefaultMailProgram().desktopFileId(&error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("xdg-mime")));
}

TEST_F(DefaultMailProgramTest, GivesUpOnAQueryThatDoesNotAnswer)
{
    const ScopedVariable handler("KEYMOOR_TEST_MAILTO_HANDLER", "hang");
    DefaultMailProgram program;
    program.setQueryProgram(FakeQuery);
    program.setTimeout(300);
    QString error;
    EXPECT_TRUE(program.desktopFileId(&error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("300")));

    program.setQueryProgram(Fixtures + QStringLiteral("/bin/no-such-program"));
    EXPECT_TRUE(program.desktopFileId(&error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(DesktopEntry, AcceptsOnlyPlainDesktopFileIds)
{
    for (const char* id : {"mail.desktop", "org.example.Mail.desktop", "kde-mail.desktop"}) {
        EXPECT_TRUE(DesktopEntry::isValidId(QString::fromLatin1(id))) << id;
    }
    for (const char* id : {"", ".desktop", "a/b.desktop", "..desktop", "mail.desktop\n", "-x.desktop", "mail"}) {
        EXPECT_FALSE(DesktopEntry::isValidId(QString::fromLatin1(id))) << id;
    }
}

} // namespace
