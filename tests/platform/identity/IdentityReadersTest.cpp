// The readers of what other programs know about the person: Thunderbird's prefs.js, Evolution's
// source key files, git's configuration and the online accounts' answer.
#include "identity/EvolutionIdentity.h"
#include "identity/GitIdentity.h"
#include "identity/IdentityFileText.h"
#include "identity/MozillaPrefs.h"
#include "identity/OnlineAccountsIdentity.h"
#include "identity/ThunderbirdIdentity.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

std::optional<PersonIdentity> thunderbirdFromText(const QByteArray& prefs)
{
    QTemporaryDir profile;
    writeFile(profile.filePath(QStringLiteral("prefs.js")), prefs);
    QString problem;
    return ThunderbirdIdentity::read(profile.path(), &problem);
}

const QString ThunderbirdProfile = QStringLiteral("/identity/thunderbird-home/.thunderbird/x7k2q9.default-release");

} // namespace

TEST(MozillaPrefs, ReadsEveryValueFormAndRefusesAnythingElse)
{
    QString problem;
    const auto prefs
        = MozillaPrefs::parse(QStringLiteral("// header\n/* block\n comment */\n# hash comment\n"
                                             "user_pref(\"a.string\", \"say \\\"hi\\\" \\\\ caf\\u00e9 \\x41\");\n"
                                             "user_pref('single', 'quoted');\n"
                                             "pref(\"a.number\", -42); user_pref(\"a.bool\", true);\n"
                                             "user_pref(\"a.string\", \"set again\");\n"),
                              &problem);
    ASSERT_TRUE(prefs.has_value()) << problem.toStdString();
    EXPECT_EQ(prefs->string(QStringLiteral("a.string")), QStringLiteral("set again"));
    EXPECT_EQ(prefs->string(QStringLiteral("single")), QStringLiteral("quoted"));
    EXPECT_EQ(prefs->string(QStringLiteral("a.number")), QStringLiteral("-42"));
    EXPECT_EQ(prefs->string(QStringLiteral("a.bool")), QStringLiteral("true"));
    EXPECT_EQ(prefs->names(),
              QStringList({QStringLiteral("a.string"), QStringLiteral("single"), QStringLiteral("a.number"),
                           QStringLiteral("a.bool")}));
    EXPECT_EQ(
        MozillaPrefs::parse(QStringLiteral("user_pref(\"x\", \"caf\\u00e9\");"), &problem)->string(QStringLiteral("x")),
        QString::fromUtf8("café"));

    const char* broken[] = {
        "user_pref(\"cut\", \"no end",  "user_pref(\"no.semicolon\", 1)",
        "user_pref(\"x\", undefined);", "lockPref(\"x\", 1);",
        "user_pref(\"x\" 1);",          "<html>not prefs</html>",
        "user_pref(\"x\", \"\\u00\");",
    };
    for (const char* text : broken) {
        problem.clear();
        EXPECT_FALSE(MozillaPrefs::parse(QString::fromUtf8(text), &problem).has_value()) << text;
        EXPECT_FALSE(problem.isEmpty()) << text;
    }
    EXPECT_TRUE(MozillaPrefs::parse(QString(), &problem).has_value());
}

TEST(ThunderbirdIdentity, TheDefaultAccountsFirstIdentityElseTheFirstThatNamesSomeone)
{
    QString problem;
    const auto fixture = ThunderbirdIdentity::read(testDataPath() + ThunderbirdProfile, &problem);
    ASSERT_TRUE(fixture.has_value()) << problem.toStdString();
    EXPECT_EQ(fixture->name, QString::fromUtf8("Zoë \"Z\" Hartmann"));
    EXPECT_EQ(fixture->email, QStringLiteral("zoe@hartmann.example"));
    EXPECT_EQ(fixture->organization, QStringLiteral("Hartmann Tonstudio"));

    // The default account's identity is empty: accounts in the manager's order, then the rest.
    const auto fallback = thunderbirdFromText("user_pref(\"mail.accountmanager.defaultaccount\", \"a1\");\n"
                                              "user_pref(\"mail.account.a1.identities\", \"id1\");\n"
                                              "user_pref(\"mail.accountmanager.accounts\", \"a1, a3\");\n"
                                              "user_pref(\"mail.account.a3.identities\", \"id3\");\n"
                                              "user_pref(\"mail.identity.id2.useremail\", \"two@example.org\");\n"
                                              "user_pref(\"mail.identity.id3.useremail\", \"three@example.org\");\n");
    ASSERT_TRUE(fallback.has_value());
    EXPECT_EQ(fallback->email, QStringLiteral("three@example.org"));
    const auto orphan = thunderbirdFromText("user_pref(\"mail.identity.id9.fullName\", \"Only Name\");\n");
    ASSERT_TRUE(orphan.has_value());
    EXPECT_EQ(orphan->name, QStringLiteral("Only Name"));
    EXPECT_FALSE(thunderbirdFromText("user_pref(\"browser.x\", 1);")->isUsable());

    // Bad files are refused with a reason rather than half read.
    const QByteArray notUtf8 = "user_pref(\"mail.identity.id1.fullName\", \"M\xfcller\");";
    const QByteArray huge = QByteArray("user_pref(\"a\", \"") + QByteArray(IdentityFileText::MaximumSize, 'x') + "\");";
    for (const QByteArray& bytes : {notUtf8, huge, QByteArray("user_pref(\"mail.identity.id1.fullName\", \"cut")}) {
        QTemporaryDir profile;
        writeFile(profile.filePath(QStringLiteral("prefs.js")), bytes);
        problem.clear();
        EXPECT_FALSE(ThunderbirdIdentity::read(profile.path(), &problem).has_value());
        EXPECT_TRUE(problem.contains(QStringLiteral("prefs.js"))) << problem.toStdString();
    }
    QTemporaryDir empty;
    EXPECT_FALSE(ThunderbirdIdentity::read(empty.path(), &problem).has_value());
}

TEST(EvolutionIdentity, EnabledMailIdentitiesInFileOrderPassingOverBadFiles)
{
    QTemporaryDir folder;
    const QString sources = folder.filePath(QStringLiteral("sources"));
    writeFile(sources + QStringLiteral("/0-broken.source"), "[Mail Identity]\nName=Broken\nthis line is wrong\n");
    writeFile(sources + QStringLiteral("/1-off.source"),
              "[Data Source]\nEnabled=false\n[Mail Identity]\nName=Switched Off\nAddress=off@example.org\n");
    writeFile(sources + QStringLiteral("/2-account.source"), "[Data Source]\nDisplayName=IMAP\n[Mail Account]\n");
    writeFile(sources + QStringLiteral("/3-identity.source"),
              "# comment\n[Data Source]\nDisplayName=me\nEnabled=true\n\n[Mail Identity]\n"
              "Name[de]=Lokalisiert\nName=René\\sDupont \nAddress=rene@dupont.example\n"
              "Organization=Dupont\\s&\\sFils\n");
    writeFile(sources + QStringLiteral("/4-later.source"), "[Mail Identity]\nName=Later\n");
    QStringList problems;
    const PersonIdentity identity = EvolutionIdentity::read({folder.filePath(QStringLiteral("missing")), sources},
                                                            [&problems](const QString& p) { problems.append(p); });
    EXPECT_EQ(identity.name, QString::fromUtf8("René Dupont"));
    EXPECT_EQ(identity.email, QStringLiteral("rene@dupont.example"));
    EXPECT_EQ(identity.organization, QStringLiteral("Dupont & Fils"));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems.first().contains(QStringLiteral("0-broken.source"))) << problems.first().toStdString();

    QString problem;
    EXPECT_FALSE(EvolutionIdentity::keyFileGroup(QStringLiteral("[Open\nName=x"), QStringLiteral("Open"), &problem));
    EXPECT_FALSE(
        EvolutionIdentity::keyFileGroup(QStringLiteral("Name=before any group"), QStringLiteral("x"), &problem));
}

TEST(GitIdentity, GlobalFilesInGitsOrderWithQuotesAndComments)
{
    QTemporaryDir folder;
    const QString xdg = folder.filePath(QStringLiteral("git/config"));
    const QString home = folder.filePath(QStringLiteral(".gitconfig"));
    writeFile(xdg, "[user]\n\tname = Early Name\n\temail = early@example.org\n");
    writeFile(home,
              "[core]\n\teditor = vim\n\tname = not a user\n[User]\n"
              "\tName = \"Jo \\\"JD\\\" Doe\" ; comment\n[includeIf \"gitdir:~/work/\"]\n"
              "\temail = work@example.org\n");
    const PersonIdentity identity = GitIdentity::read({xdg, home, folder.filePath(QStringLiteral("absent"))});
    EXPECT_EQ(identity.name, QStringLiteral("Jo \"JD\" Doe"));
    EXPECT_EQ(identity.email, QStringLiteral("early@example.org"));

    const QByteArray saved = qgetenv("GIT_CONFIG_GLOBAL");
    qputenv("GIT_CONFIG_GLOBAL", QFile::encodeName(home));
    EXPECT_EQ(GitIdentity::globalConfigFiles(), QStringList({home}));
    qputenv("GIT_CONFIG_GLOBAL", saved);
}

TEST(OnlineAccountsIdentity, MailAccountsOnlyAndNoAnswerWithoutTheService)
{
    const QString account = QStringLiteral("org.gnome.OnlineAccounts.Account");
    const QString mail = QStringLiteral("org.gnome.OnlineAccounts.Mail");
    QMap<QString, OnlineAccountsIdentity::AccountObject> accounts;
    accounts.insert(QStringLiteral("/org/gnome/OnlineAccounts/Accounts/a1"),
                    {{account, {{QStringLiteral("PresentationIdentity"), QStringLiteral("calendar-only")}}}});
    accounts.insert(QStringLiteral("/org/gnome/OnlineAccounts/Accounts/a2"),
                    {{account, {{QStringLiteral("MailDisabled"), true}}},
                     {mail, {{QStringLiteral("EmailAddress"), QStringLiteral("off@example.org")}}}});
    accounts.insert(QStringLiteral("/org/gnome/OnlineAccounts/Accounts/a3"),
                    {{account, {{QStringLiteral("PresentationIdentity"), QStringLiteral("kim@example.org")}}},
                     {mail, {{QStringLiteral("Name"), QStringLiteral("Kim Lee")}}}});
    const PersonIdentity identity = OnlineAccountsIdentity::fromAccounts(accounts);
    EXPECT_EQ(identity.name, QStringLiteral("Kim Lee"));
    EXPECT_EQ(identity.email, QStringLiteral("kim@example.org"));

    // The test bus has no online accounts service: nothing, and nothing to complain about.
    QString problem;
    EXPECT_FALSE(OnlineAccountsIdentity::read(300, &problem).isUsable());
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
}
