#include "MailStoreTestSupport.h"
#include "email/MailStoreLocations.h"
#include "support/TemporaryHome.h"
#include "support/TemporaryUserFolders.h"

#include <QTemporaryDir>

namespace {

const QByteArray ThunderbirdStatus = "X-Mozilla-Status: 0001\nX-Mozilla-Status2: 00000000\n";

QString profilePath()
{
    return storePath(QStringLiteral("thunderbird/Profiles/k3m0q1.default-release"));
}

QStringList fileNames(const ReadResult& result)
{
    QStringList names;
    for (const MailStoreMessage& message : result.messages) {
        names.append(QFileInfo(message.place.path).fileName());
    }
    return names;
}

// Copies a fixture folder, so a test can add to it.
void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& entry : source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir()) {
            copyFolder(entry.filePath(), target);
        } else {
            QFile::copy(entry.filePath(), target);
        }
    }
}

} // namespace

TEST(MailStoreReader, MaildirReadsCurThenNewThenSubfoldersAndSkipsTrash)
{
    const ReadResult result = readStore(storePath(QStringLiteral("maildir")));
    EXPECT_EQ(result.counts.messages, 6);
    EXPECT_EQ(result.counts.unreadable, 0);
    EXPECT_EQ(fileNames(result).join(QLatin1Char(' ')).count(QStringLiteral(".host")), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(fileNames(result).at(i).startsWith(QStringLiteral("100000000%1").arg(i + 1)));
        EXPECT_FALSE(result.messages[size_t(i)].place.isInMbox());
    }

    MailStoreReader::Options everything;
    everything.includeTrashAndJunk = true;
    const ReadResult all = readStore(storePath(QStringLiteral("maildir")), everything);
    EXPECT_EQ(all.counts.messages, 8);
    EXPECT_TRUE(all.messages.back().bytes.contains("Star Hopper"));
}

TEST(MailStoreReader, MaildirCountsFilesThatAreNoMessages)
{
    QTemporaryDir folder;
    copyFolder(storePath(QStringLiteral("maildir")), folder.path());
    writeFile(folder.filePath(QStringLiteral("cur/1000000000.junk:2,S")), QByteArray("\x89PNG\r\n\x1a\n", 8));
    writeFile(folder.filePath(QStringLiteral("new/.hidden-state")), "From: not@a.message\n");
    QDir().mkpath(folder.filePath(QStringLiteral("cur/a-folder")));
    MailStoreReader::Options options;
    options.maximumMessageSize = 700; // only the Lumen message is longer
    const ReadResult result = readStore(folder.path(), options);
    EXPECT_EQ(result.counts.unreadable, 2);
    EXPECT_EQ(result.counts.messages, 5);
}

TEST(MailStoreReader, ThunderbirdProfileReadsEveryFolderMbox)
{
    QList<QByteArray> expected;
    for (const QByteArray& bytes : fixtureMessages()) {
        expected.append(ThunderbirdStatus + bytes);
    }
    // The profile folder, Thunderbird's folder, its profiles.ini, and one account folder give the same.
    for (const QString& path : {profilePath(), storePath(QStringLiteral("thunderbird")),
                                storePath(QStringLiteral("thunderbird/profiles.ini")),
                                profilePath() + QStringLiteral("/Mail/Local Folders")}) {
        const ReadResult result = readStore(path);
        EXPECT_TRUE(result.counts.error.isEmpty()) << path.toStdString();
        EXPECT_EQ(result.bytes(), expected) << path.toStdString();
        EXPECT_EQ(fileNames(result),
                  QStringList({QStringLiteral("Inbox"), QStringLiteral("Inbox"), QStringLiteral("Inbox"),
                               QStringLiteral("Inbox"), QStringLiteral("Orders"), QStringLiteral("Orders")}));
    }
    const MailStoreMessage fifth = readStore(profilePath()).messages.at(4);
    EXPECT_EQ(fifth.place.index, 0);
    EXPECT_EQ(MailStoreReader().messageAt(fifth.place).bytes, fifth.bytes);

    MailStoreReader::Options everything;
    everything.includeTrashAndJunk = true;
    EXPECT_EQ(fileNames(readStore(profilePath(), everything)).mid(6),
              QStringList({QStringLiteral("Junk"), QStringLiteral("Trash")}));
}

TEST(MailStoreReader, ProfilesIniPicksTheDefaultProfile)
{
    struct Case
    {
        const char* ini;
        const char* expected; // folder under the ini's folder; empty: none
    };
    const Case cases[] = {
        {"[Install1]\nDefault=p/b\n[Profile0]\nPath=p/a\nIsRelative=1\nDefault=1\n[Profile1]\nPath=p/b\nIsRelative=1\n",
         "p/b"},
        {"[Profile0]\nPath=p/a\nIsRelative=1\n[Profile1]\nPath=p/b\nIsRelative=1\nDefault=1\n", "p/b"},
        {"[General]\nVersion=2\n[Profile0]\nPath=p/a\nIsRelative=1\n", "p/a"},
        // An install default that no longer exists gives way to the profile marked default.
        {"[Install1]\nDefault=p/gone\n[Profile0]\nPath=p/b\nDefault=1\n", "p/b"},
        {"[Profile0]\r\nName=x\r\nIsRelative=1\r\nPath=p/a\r\n", "p/a"},
        {"[Profile0]\nPath=p/gone\nIsRelative=1\n", ""},
        {"not an ini file at all\n", ""},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        QDir().mkpath(folder.filePath(QStringLiteral("p/a")));
        QDir().mkpath(folder.filePath(QStringLiteral("p/b")));
        const QString ini = folder.filePath(QStringLiteral("profiles.ini"));
        writeFile(ini, c.ini);
        const QString expected = *c.expected ? folder.filePath(QLatin1String(c.expected)) : QString();
        EXPECT_EQ(MailStoreLocations::defaultThunderbirdProfile(ini), expected) << c.ini;
    }

    // An absolute path, and a profiles.ini that names nothing that exists.
    QTemporaryDir elsewhere;
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("profiles.ini"));
    writeFile(ini, "[Profile0]\nIsRelative=0\nPath=" + elsewhere.path().toUtf8() + "\n");
    EXPECT_EQ(MailStoreLocations::defaultThunderbirdProfile(ini), elsewhere.path());
    writeFile(ini, "[Profile0]\nIsRelative=1\nPath=Profiles/none\n");
    const ReadResult result = readStore(ini);
    EXPECT_FALSE(result.counts.error.isEmpty());
    EXPECT_EQ(result.counts.messages, 0);
}

TEST(MailStoreReader, FindsThunderbirdAndEvolutionWhereThisAccountKeepsThem)
{
    TemporaryHome home;
    TemporaryUserFolders folders;
    EXPECT_TRUE(MailStoreLocations::thunderbirdProfileRoots().isEmpty());
    EXPECT_TRUE(MailStoreLocations::defaultThunderbirdProfile().isEmpty());
    EXPECT_TRUE(MailStoreLocations::evolutionLocalStore().isEmpty());

    // The Flatpak place, with an empty native folder before it.
    const QDir root(home.path());
    QDir().mkpath(root.filePath(QStringLiteral(".thunderbird")));
    const QString flatpak = root.filePath(QStringLiteral(".var/app/org.mozilla.Thunderbird/.thunderbird"));
    QDir().mkpath(flatpak + QStringLiteral("/x.default"));
    writeFile(flatpak + QStringLiteral("/profiles.ini"), "[Profile0]\nPath=x.default\nIsRelative=1\n");
    EXPECT_EQ(MailStoreLocations::thunderbirdProfileRoots(),
              QStringList({root.filePath(QStringLiteral(".thunderbird")), flatpak}));
    EXPECT_EQ(MailStoreLocations::defaultThunderbirdProfile(), flatpak + QStringLiteral("/x.default"));

    const QString local = QDir(folders.dataHome()).filePath(QStringLiteral("evolution/mail/local"));
    copyFolder(storePath(QStringLiteral("maildir")), local);
    EXPECT_EQ(MailStoreLocations::evolutionLocalStore(), local);
    EXPECT_EQ(readStore(local).bytes(), fixtureMessages());
}

TEST(MailStoreReader, FilesAreReadByWhatTheyHoldNotByTheirName)
{
    QTemporaryDir folder;
    const QString mboxAsEml = folder.filePath(QStringLiteral("dropped.eml"));
    QFile::copy(storePath(QStringLiteral("purchases.mbox")), mboxAsEml);
    EXPECT_EQ(readStore(mboxAsEml).bytes(), fixtureMessages());

    const QString eml = storePath(QStringLiteral("single-message.eml"));
    const ReadResult single = readStore(eml);
    ASSERT_EQ(single.messages.size(), 1u);
    EXPECT_EQ(single.messages[0].bytes, fixtureMessages().at(2));
    EXPECT_EQ(single.messages[0].place.path, eml);
    EXPECT_EQ(MailStoreReader().messageAt(single.messages[0].place).bytes, single.messages[0].bytes);

    // What cannot be read says why and hands over nothing.
    writeFile(folder.filePath(QStringLiteral("picture.eml")), QByteArray("\xFF\xD8\xFF\xE0 JFIF", 9));
    // A folder of other files, with a Thunderbird index but no mbox beside it.
    const QString notMail = folder.filePath(QStringLiteral("not-mail"));
    writeFile(notMail + QStringLiteral("/Inbox.msf"), "From x\n");
    writeFile(notMail + QStringLiteral("/notes.txt"), "hello\n");
    writeFile(notMail + QStringLiteral("/deeper/Inbox"), "From x\nFrom: a@b.example\n\nhi\n");
    for (const QString& path :
         {folder.filePath(QStringLiteral("picture.eml")), notMail, folder.filePath(QStringLiteral("missing"))}) {
        const ReadResult result = readStore(path);
        EXPECT_FALSE(result.counts.error.isEmpty()) << path.toStdString();
        EXPECT_TRUE(result.messages.empty()) << path.toStdString();
    }
}
