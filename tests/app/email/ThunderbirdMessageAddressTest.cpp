#include "email/ThunderbirdMessageAddress.h"

#include "MailStoreTestSupport.h"

#include <QTemporaryDir>

namespace {

const QByteArray Mbox = "From a@example.net Mon Jan  5 09:00:00 2015\nSubject: x\n\nbody\n";

// A profile with local folders, two POP accounts of one server (one of them kept outside the
// profile) and a folder of a server prefs.js does not name.
class ThunderbirdMessageAddressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_profile.isValid() && m_elsewhere.isValid());
        const QString elsewhere = QString(m_elsewhere.path()).replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        writeFile(path("prefs.js"),
                  "// Mozilla User Preferences\n"
                  "user_pref(\"mail.server.server1.directory-rel\", \"[ProfD]Mail/Local Folders\");\n"
                  "user_pref(\"mail.server.server1.hostname\", \"Local Folders\");\n"
                  "user_pref(\"mail.server.server1.userName\", \"nobody\");\n"
                  "user_pref(\"mail.server.server2.directory-rel\", \"[ProfD]Mail/pop.example-2.com\");\n"
                  "user_pref(\"mail.server.server2.hostname\", \"pop.example.com\");\n"
                  "user_pref(\"mail.server.server2.userName\", \"jane\");\n"
                  "user_pref(\"mail.server.server3.directory\", \""
                      + elsewhere.toUtf8()
                      + "\");\n"
                        "user_pref(\"mail.server.server3.hostname\", \"pop.example.com\");\n"
                        "user_pref(\"mail.server.server3.userName\", \"john.doe@example.com\");\n");
        writeFile(path("Mail/Local Folders/Inbox"), Mbox);
        writeFile(path("Mail/pop.example-2.com/Inbox"), Mbox);
        writeFile(path("Mail/pop.example-2.com/Inbox.sbd/Orders"), Mbox);
        writeFile(m_elsewhere.filePath(QStringLiteral("Inbox")), Mbox);
        writeFile(path("Mail/other.example.org/Inbox"), Mbox);
    }

    QString path(const char* relative) const { return m_profile.filePath(QLatin1String(relative)); }

    std::optional<MailMessagePlace> place(const char* address) const
    {
        return ThunderbirdMessageAddress::place(QLatin1String(address), m_profile.path());
    }

    QTemporaryDir m_profile;
    QTemporaryDir m_elsewhere;
};

} // namespace

TEST_F(ThunderbirdMessageAddressTest, ResolvesTheFolderOfEveryServerOfTheProfile)
{
    struct Case
    {
        const char* address;
        QString path;
        qint64 offset;
    };
    const Case cases[] = {
        {"mailbox-message://nobody@Local%20Folders/Inbox#0", path("Mail/Local Folders/Inbox"), 0},
        {"mailbox-message://jane@pop.example.com/Inbox/Orders#120", path("Mail/pop.example-2.com/Inbox.sbd/Orders"),
         120},
        // The user name is percent-encoded in the address, the host ignores case.
        {"mailbox-message://john.doe%40example.com@POP.example.com/Inbox#5",
         m_elsewhere.filePath(QStringLiteral("Inbox")), 5},
        // An unknown user of a known server: that server's first account.
        {"mailbox-message://someone@pop.example.com/Inbox#7", path("Mail/pop.example-2.com/Inbox"), 7},
        // A server prefs.js does not name: its folder under Mail/.
        {"mailbox-message://me@other.example.org/Inbox#9", path("Mail/other.example.org/Inbox"), 9},
    };
    for (const Case& c : cases) {
        const std::optional<MailMessagePlace> found = place(c.address);
        ASSERT_TRUE(found) << c.address;
        EXPECT_EQ(QFileInfo(found->path).canonicalFilePath(), QFileInfo(c.path).canonicalFilePath()) << c.address;
        EXPECT_EQ(found->offset, c.offset) << c.address;
    }
    EXPECT_FALSE(readStore(place("mailbox-message://jane@pop.example.com/Inbox/Orders#0")->path).messages.empty());
}

TEST_F(ThunderbirdMessageAddressTest, RefusesOtherAddressesAndPathsOutOfTheFolders)
{
    for (const char* address : {
             "imap-message://jane@imap.example.com/INBOX#12",
             "mailbox-message://jane@pop.example.com/Inbox",
             "mailbox-message://jane@pop.example.com/Inbox#-3",
             "mailbox-message://jane@pop.example.com/Inbox#12x",
             "mailbox-message://jane@pop.example.com/Missing#1",
             "mailbox-message://jane@pop.example.com/../pop.example-2.com/Inbox#1",
             "mailbox-message://jane@..%2FMail/Inbox#1",
             "mailbox-message://jane@pop.example.com#1",
         }) {
        EXPECT_FALSE(place(address)) << address;
    }
    EXPECT_FALSE(ThunderbirdMessageAddress::place(QStringLiteral("mailbox-message://nobody@Local%20Folders/Inbox#0"),
                                                  QString()));
}
