#include "software/DesktopApplicationIndex.h"

#include "support/TestData.h"

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString Entries = testDataPath("/platform/software/entries");
const QString HomeFolder = Entries + QStringLiteral("/home/applications");
const QString SystemFolder = Entries + QStringLiteral("/system/applications");

QStringList idsOf(const QList<DesktopApplication>& applications)
{
    QStringList ids;
    for (const DesktopApplication& application : applications) {
        ids.append(application.id);
    }
    return ids;
}

// Runs each test in a locale of its choice and restores the environment afterwards.
class DesktopApplicationIndexTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : Variables) {
            m_saved.append(qgetenv(name));
        }
        setLocale("C");
    }
    void TearDown() override
    {
        for (int i = 0; i < int(std::size(Variables)); ++i) {
            qputenv(Variables[i], m_saved.at(i));
        }
    }
    static void setLocale(const char* locale) { qputenv("LC_ALL", locale); }

    static constexpr const char* Variables[] = {"LC_ALL", "XDG_DATA_HOME", "XDG_DATA_DIRS"};
    QList<QByteArray> m_saved;
};

TEST_F(DesktopApplicationIndexTest, EarlierFoldersWinAndHiddenEntriesHideTheirId)
{
    DesktopApplicationIndex index({HomeFolder, SystemFolder});
    // Left out: the hidden Gone, the Link, the entry without a name and the one without a group.
    EXPECT_EQ(idsOf(index.applications()),
              QStringList({QStringLiteral("broken-utf8"), QStringLiteral("org.example.Northwind"),
                           QStringLiteral("org.example.Quill"), QStringLiteral("org.example.Tray"),
                           QStringLiteral("vendor-tools-meter")}));
    EXPECT_EQ(index.applicationForId(QStringLiteral("org.example.Quill"))->name, QStringLiteral("Quill (mine)"));
    EXPECT_FALSE(index.applicationForId(QStringLiteral("org.example.Gone")).has_value());
    EXPECT_FALSE(index.applicationForName(QStringLiteral("gone")).has_value());

    DesktopApplicationIndex reversed({SystemFolder, HomeFolder});
    EXPECT_EQ(reversed.applicationForId(QStringLiteral("org.example.Quill"))->exec, QStringLiteral("quill --system"));
    EXPECT_EQ(reversed.applicationForId(QStringLiteral("org.example.Gone.desktop"))->name, QStringLiteral("Gone"));
}

TEST_F(DesktopApplicationIndexTest, ReadsTheFieldsOfAnEntry)
{
    DesktopApplicationIndex index({HomeFolder, SystemFolder, Entries + QStringLiteral("/missing")});
    const std::optional<DesktopApplication> northwind = index.applicationForId(QStringLiteral("org.example.Northwind"));
    ASSERT_TRUE(northwind.has_value());
    EXPECT_EQ(northwind->path, HomeFolder + QStringLiteral("/org.example.Northwind.desktop"));
    EXPECT_EQ(northwind->name, QStringLiteral("Northwind"));
    EXPECT_EQ(northwind->comment, QStringLiteral("Charts the winds"));
    EXPECT_EQ(northwind->icon, QStringLiteral("org.example.Northwind"));
    EXPECT_EQ(northwind->exec, QStringLiteral("northwind --open %U"));
    EXPECT_EQ(northwind->tryExec, QStringLiteral("northwind"));
    EXPECT_EQ(northwind->workingFolder, QStringLiteral("/tmp"));
    EXPECT_EQ(northwind->appImageVersion, QStringLiteral("2.4.1"));
    EXPECT_FALSE(northwind->noDisplay);

    const std::optional<DesktopApplication> tray = index.applicationForName(QStringLiteral("TRAY HELPER"));
    ASSERT_TRUE(tray.has_value());
    EXPECT_TRUE(tray->noDisplay);
    EXPECT_EQ(tray->flatpakId, QStringLiteral("org.example.Tray"));
    EXPECT_EQ(tray->snapInstance, QStringLiteral("tray_beta"));

    const std::optional<DesktopApplication> meter = index.applicationForId(QStringLiteral("vendor-tools-meter"));
    ASSERT_TRUE(meter.has_value());
    EXPECT_EQ(meter->path, SystemFolder + QStringLiteral("/vendor/tools/meter.desktop"));
    // The line with Latin-1 bytes is left out; the sound one after it gives the name.
    EXPECT_EQ(index.applicationForId(QStringLiteral("broken-utf8"))->name, QStringLiteral("Cafe"));
}

TEST_F(DesktopApplicationIndexTest, NamesFollowTheLocaleAndMatchEitherWay)
{
    setLocale("de_CH.UTF-8");
    DesktopApplicationIndex swiss({HomeFolder, SystemFolder});
    const std::optional<DesktopApplication> northwind = swiss.applicationForName(QStringLiteral("nordwind (schweiz)"));
    ASSERT_TRUE(northwind.has_value());
    EXPECT_EQ(northwind->untranslatedName, QStringLiteral("Northwind"));
    EXPECT_EQ(northwind->comment, QStringLiteral("Zeichnet die Winde"));
    EXPECT_EQ(swiss.applicationForName(QStringLiteral("NORTHWIND"))->id, QStringLiteral("org.example.Northwind"));
    EXPECT_FALSE(swiss.applicationForName(QStringLiteral("Nordwind")).has_value()) << "not the locale in use";

    setLocale("sr_RS.UTF-8@latin");
    DesktopApplicationIndex serbian({HomeFolder, SystemFolder});
    EXPECT_EQ(serbian.applicationForId(QStringLiteral("org.example.Northwind"))->name, QStringLiteral("Severni vetar"));
}

TEST_F(DesktopApplicationIndexTest, ReadsOneFileWithItsId)
{
    const QString meter = SystemFolder + QStringLiteral("/vendor/tools/meter.desktop");
    EXPECT_EQ(DesktopApplicationIndex::readFile(meter, {SystemFolder})->id, QStringLiteral("vendor-tools-meter"));
    // Below a folder named "applications" that is not in the list, the ID is taken from there.
    EXPECT_EQ(DesktopApplicationIndex::readFile(meter, {HomeFolder})->id, QStringLiteral("vendor-tools-meter"));
    EXPECT_EQ(DesktopApplicationIndex::readFile(meter, {SystemFolder + QStringLiteral("/vendor")})->id,
              QStringLiteral("tools-meter"));
    // ".." in the path is resolved first.
    EXPECT_EQ(DesktopApplicationIndex::readFile(SystemFolder + QStringLiteral("/vendor/../org.example.Tray.desktop"),
                                                {SystemFolder})
                  ->id,
              QStringLiteral("org.example.Tray"));
    for (const char* refused : {"/org.example.Link.desktop", "/nameless.desktop", "/broken-nogroup.desktop",
                                "/readme.txt", "/missing.desktop"}) {
        EXPECT_FALSE(DesktopApplicationIndex::readFile(SystemFolder + QLatin1String(refused)).has_value()) << refused;
    }
}

TEST_F(DesktopApplicationIndexTest, StandardFoldersAddTheExportsOnce)
{
    qputenv("XDG_DATA_HOME", "/home/moor/.local/share");
    qputenv("XDG_DATA_DIRS", "/usr/share/:/var/lib/flatpak/exports/share:/usr/share");
    EXPECT_EQ(
        DesktopApplicationIndex::standardFolders(),
        QStringList({QStringLiteral("/home/moor/.local/share/applications"), QStringLiteral("/usr/share/applications"),
                     QStringLiteral("/var/lib/flatpak/exports/share/applications"),
                     QStringLiteral("/home/moor/.local/share/flatpak/exports/share/applications"),
                     QStringLiteral("/var/lib/snapd/desktop/applications")}));
}

} // namespace
