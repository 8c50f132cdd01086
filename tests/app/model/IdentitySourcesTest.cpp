// Who the person is: the sources in their order, each passed over when it knows nothing or its
// files are bad, in a scratch home.
#include "model/IdentitySources.h"

#include "base/Log.h"
#include "support/TemporaryHome.h"
#include "support/TemporaryUserFolders.h"
#include "support/TestData.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using IdentitySources::Source;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        ASSERT_TRUE(QFile::copy(path, target)) << target.toStdString();
    }
}

class IdentitySourcesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setSink([this](const QString& line) { m_log.append(line); });
    }
    void TearDown() override { Log::setSink({}); }

    QString home(const char* path) const { return m_home.path() + QLatin1Char('/') + QString::fromLatin1(path); }
    QString card() const { return home("me.vcf"); }

    IdentitySources::Reading first(bool expectFound = true)
    {
        bool found = false;
        IdentitySources::Reading reading = IdentitySources::firstUsable(card(), QStringLiteral("Auto"), &found);
        EXPECT_EQ(found, expectFound);
        return reading;
    }

    TemporaryHome m_home;
    TemporaryUserFolders m_folders;
    QStringList m_log;
};

} // namespace

TEST_F(IdentitySourcesTest, EachSourceInTurnWhenTheOnesBeforeKnowNothing)
{
    copyTree(testDataPath("/identity/thunderbird-home"), m_home.path());
    writeFile(m_folders.configHome() + QStringLiteral("/evolution/sources/mail.source"),
              "[Mail Identity]\nName=Evo Person\nAddress=evo@example.org\n");
    writeFile(home(".gitconfig"), "[user]\nname = Git Person\nemail = git@example.org\n");

    // The card comes first, and its files are watched even while it is missing.
    const IdentitySources::Reading thunderbird = first();
    EXPECT_EQ(thunderbird.source, Source::Thunderbird);
    EXPECT_EQ(thunderbird.identity.email, QStringLiteral("zoe@hartmann.example"));
    EXPECT_TRUE(thunderbird.files.contains(card()));
    writeFile(card(), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Card Person\r\nEND:VCARD\r\n");
    EXPECT_EQ(first().identity.name, QStringLiteral("Card Person"));

    // A card that is no vCard, a prefs.js that is not UTF-8: logged and passed over.
    writeFile(card(), "not a card");
    const QString prefs = home(".thunderbird/x7k2q9.default-release/prefs.js");
    writeFile(prefs, "user_pref(\"mail.identity.id1.fullName\", \"M\xfcller\");");
    const IdentitySources::Reading evolution = first();
    EXPECT_EQ(evolution.source, Source::Evolution);
    EXPECT_EQ(evolution.identity.name, QStringLiteral("Evo Person"));
    EXPECT_TRUE(m_log.filter(QStringLiteral("prefs.js")).size() == 1) << m_log.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(evolution.files.contains(prefs));

    QFile::remove(m_folders.configHome() + QStringLiteral("/evolution/sources/mail.source"));
    const IdentitySources::Reading git = first();
    EXPECT_EQ(git.source, Source::Git);
    EXPECT_TRUE(git.askedBus);
    EXPECT_EQ(git.identity.email, QStringLiteral("git@example.org"));

    QFile::remove(home(".gitconfig"));
    const IdentitySources::Reading account = first();
    EXPECT_EQ(account.source, Source::Account);
    EXPECT_FALSE(account.identity.name.isEmpty());
}

TEST_F(IdentitySourcesTest, ThunderbirdFromItsFlatpakPlaceAndOneSourceAlone)
{
    copyTree(testDataPath("/identity/thunderbird-home/.thunderbird"),
             home(".var/app/org.mozilla.Thunderbird/.thunderbird"));
    const IdentitySources::Reading reading = IdentitySources::read(Source::Thunderbird, card(), QStringLiteral("Auto"));
    EXPECT_EQ(reading.identity.name, QString::fromUtf8("Zoë \"Z\" Hartmann"));
    EXPECT_EQ(reading.identity.organization, QStringLiteral("Hartmann Tonstudio"));

    // The card alone, without a card file, knows nothing; its profile picks the address.
    EXPECT_FALSE(IdentitySources::read(Source::AddressCard, card(), QStringLiteral("Auto")).identity.isUsable());
    writeFile(card(),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ada\r\nEMAIL;TYPE=home:ada@home.example\r\n"
              "EMAIL;TYPE=work,pref:ada@work.example\r\nORG:Engines\r\nEND:VCARD\r\n");
    const PersonIdentity home = IdentitySources::read(Source::AddressCard, card(), QStringLiteral("Home")).identity;
    EXPECT_EQ(home.email, QStringLiteral("ada@home.example"));
    EXPECT_EQ(home.organization, QStringLiteral("Engines"));

    for (const Source source : IdentitySources::all()) {
        EXPECT_EQ(IdentitySources::fromKey(IdentitySources::key(source)), source);
    }
    EXPECT_FALSE(IdentitySources::fromKey(QString::fromLatin1(IdentitySources::Automatic)).has_value());
}
