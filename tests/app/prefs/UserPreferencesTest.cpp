#include "prefs/UserPreferences.h"

#include "prefs/PreferenceKeys.h"
#include "prefs/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class UserPreferencesTest : public ::testing::Test
{
protected:
    UserPreferencesTest()
        : m_defaults(m_dir.filePath(QStringLiteral("Keymoor.conf")))
    {
        m_home = m_dir.filePath(QStringLiteral("home"));
        QDir().mkpath(m_home);
    }

    UserPreferences::Environment environment(const QString& reader = QStringLiteral("Apple Mail"), bool dropbox = false,
                                             const QStringList& applications = {}) const
    {
        return {reader, dropbox, m_home, applications};
    }

    QTemporaryDir m_dir;
    QString m_home;
    UserDefaults m_defaults;
};

} // namespace

TEST_F(UserPreferencesTest, EveryKeyHasItsRegisteredDefault)
{
    using namespace PreferenceKeys;
    UserPreferences prefs(m_defaults, environment());
    const std::pair<QLatin1String, QVariant> expected[] = {
        {ProductSortKey, QStringLiteral("title")},
        {ProductSortAscending, true},
        {AttachmentSortKey, QStringLiteral("name")},
        {AttachmentSortAscending, true},
        {CurrencySortKey, QStringLiteral("sortIndex")},
        {CurrencySortAscending, true},
        {AutoSaveTimeInterval, 60.0},
        {DefaultUserInfoToAddressBook, true},
        {AddressBookProfile, QStringLiteral("Auto")},
        {ScanEmailUponImport, true},
        {AskBeforeReplacingCurrentInfo, true},
        {AutoCopySerial, false},
        {AutoDetectEmailReader, true},
        // A home without applications or Desktop folders: the import choosers start at home.
        {ImportAppPath, QStringLiteral("~")},
        {ImportIconPath, QStringLiteral("~")},
        {ImportFilePath, QStringLiteral("~")},
        {ExportAttachmentPath, QStringLiteral("~/Desktop")},
        {ExportCSVPath, QStringLiteral("~/Desktop")},
        {PrintAllOneAppPerPage, true},
        {SyncOn, false},
    };
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(m_defaults.value(key), value) << key.data();
    }
    const QVariantMap fields = prefs.activeExportValues();
    EXPECT_EQ(fields.size(), 14);
    for (const QString& keyPath : UserPreferences::exportableKeyPaths()) {
        EXPECT_EQ(fields.value(keyPath), QVariant(true)) << keyPath.toStdString();
    }
    EXPECT_EQ(UserPreferences::exportableKeyPaths().first(), QStringLiteral("title"));
    EXPECT_EQ(UserPreferences::exportableKeyPaths().last(), QStringLiteral("commentsString"));
    EXPECT_DOUBLE_EQ(prefs.autoSaveTimeInterval(), 60.0);
    EXPECT_FALSE(QFile::exists(m_defaults.filePath()) && QFile(m_defaults.filePath()).size() > 0);
}

TEST_F(UserPreferencesTest, OnlyTheDefaultMailProgramIsSwitchedOn)
{
    {
        UserPreferences prefs(m_defaults, environment(QStringLiteral("Microsoft Outlook")));
        EXPECT_TRUE(prefs.enableMicrosoftOutlook());
        EXPECT_FALSE(prefs.enableAppleMail());
        EXPECT_FALSE(m_defaults.value(PreferenceKeys::EnableAppleMail).isValid());
    }
    for (const QString& reader : {QStringLiteral("Apple Mail"), QString()}) {
        UserPreferences prefs(m_defaults, environment(reader));
        EXPECT_TRUE(prefs.enableAppleMail());
        EXPECT_FALSE(prefs.enableMicrosoftOutlook());
        EXPECT_FALSE(m_defaults.value(PreferenceKeys::EnableMicrosoftOutlook).isValid());
    }
    UserPreferences prefs(m_defaults, environment());
    prefs.setEnableMicrosoftOutlook(true);
    EXPECT_TRUE(prefs.enableMicrosoftOutlook());
}

TEST_F(UserPreferencesTest, DropboxFolderIsADefaultOnlyWhenDropboxAndItsFolderExist)
{
    const QString dropbox = QDir(m_home).filePath(QStringLiteral("Dropbox"));
    {
        UserPreferences prefs(m_defaults, environment(QString(), true));
        EXPECT_FALSE(m_defaults.value(PreferenceKeys::SyncDropFolderLocation).isValid());
    }
    ASSERT_TRUE(QDir().mkpath(dropbox));
    {
        UserPreferences prefs(m_defaults, environment(QString(), false));
        EXPECT_TRUE(prefs.syncDropFolderLocation().isEmpty());
    }
    {
        UserPreferences prefs(m_defaults, environment(QString(), true));
        EXPECT_EQ(prefs.syncDropFolderLocation(), dropbox);
        EXPECT_FALSE(m_defaults.hasUserValue(PreferenceKeys::SyncDropFolderLocation));
    }
    ASSERT_TRUE(QDir(dropbox).removeRecursively());
    UserPreferences prefs(m_defaults, environment(QString(), true));
    EXPECT_TRUE(prefs.syncDropFolderLocation().isEmpty());
}

TEST_F(UserPreferencesTest, NonsenseValuesAreRefused)
{
    UserPreferences prefs(m_defaults, environment());
    prefs.setAutoSaveTimeInterval(0);
    prefs.setAutoSaveTimeInterval(-5);
    prefs.setAutoSaveTimeInterval(std::numeric_limits<double>::quiet_NaN());
    prefs.setAddressBookProfile(QStringLiteral("Office"));
    EXPECT_FALSE(m_defaults.hasUserValue(PreferenceKeys::AutoSaveTimeInterval));
    EXPECT_EQ(prefs.addressBookProfile(), QStringLiteral("Auto"));

    // A period stored by hand that would make the timer spin reads as the default.
    ASSERT_TRUE(m_defaults.setValue(PreferenceKeys::AutoSaveTimeInterval, 0));
    EXPECT_DOUBLE_EQ(prefs.autoSaveTimeInterval(), 60.0);
}

TEST_F(UserPreferencesTest, SortOrdersKeepTheFirstEntryAndPickTheComparison)
{
    UserPreferences prefs(m_defaults, environment());
    EXPECT_EQ(prefs.productSortDescriptorsArray(),
              SortOrder({{QStringLiteral("title"), true, SortComparison::CaseInsensitiveText}}));
    EXPECT_EQ(prefs.currencySortDescriptorsArray(),
              SortOrder({{QStringLiteral("sortIndex"), true, SortComparison::Natural}}));

    prefs.setProductSortDescriptorsArray({{QStringLiteral("purchaseDate"), false, SortComparison::CaseInsensitiveText},
                                          {QStringLiteral("title"), true, SortComparison::CaseInsensitiveText}});
    EXPECT_EQ(prefs.productSortDescriptorsArray(),
              SortOrder({{QStringLiteral("purchaseDate"), false, SortComparison::Natural}}));

    prefs.setAttachmentSortDescriptorsArray({{QStringLiteral("date"), true, SortComparison::Natural}});
    EXPECT_EQ(m_defaults.stringValue(PreferenceKeys::AttachmentSortKey), QStringLiteral("date"));
    EXPECT_TRUE(m_defaults.boolValue(PreferenceKeys::AttachmentSortAscending));
    prefs.setAttachmentSortDescriptorsArray({{QStringLiteral("Name"), false, SortComparison::Natural}});
    EXPECT_EQ(prefs.attachmentSortDescriptorsArray(),
              SortOrder({{QStringLiteral("Name"), false, SortComparison::CaseInsensitiveText}}));

    // An empty list changes nothing.
    prefs.setAttachmentSortDescriptorsArray({});
    EXPECT_EQ(prefs.attachmentSortDescriptorsArray().first().key, QStringLiteral("Name"));

    // Currencies always sort in natural order, whatever the key.
    prefs.setCurrencySortDescriptorsArray(
        {{QStringLiteral("currencySymbol"), false, SortComparison::CaseInsensitiveText}});
    EXPECT_EQ(prefs.currencySortDescriptorsArray(),
              SortOrder({{QStringLiteral("currencySymbol"), false, SortComparison::Natural}}));

    // A sort key emptied by hand sorts on the registered attribute.
    ASSERT_TRUE(m_defaults.setValue(PreferenceKeys::ProductSortKey, QString()));
    EXPECT_EQ(prefs.productSortDescriptorsArray().first().key, QStringLiteral("title"));
}

TEST_F(UserPreferencesTest, TildeStandsForTheHomeFolder)
{
    const QString home = QStringLiteral("/home/person");
    const std::pair<const char*, const char*> cases[] = {
        {"~", "/home/person"},
        {"~/Desktop", "/home/person/Desktop"},
        {"~/", "/home/person/"},
        {"/Applications", "/Applications"},
        {"relative/~/path", "relative/~/path"},
        {"", ""},
        {"~root/notes", "/root/notes"},
        {"~no-such-user-here/x", "~no-such-user-here/x"},
    };
    for (const auto& [path, expanded] : cases) {
        EXPECT_EQ(UserPreferences::expandTildeInPath(QString::fromUtf8(path), home), QString::fromUtf8(expanded))
            << path;
    }
    EXPECT_EQ(UserPreferences::expandTildeInPath(QStringLiteral("~/x"), QStringLiteral("/")), QStringLiteral("/x"));

    UserPreferences prefs(m_defaults, environment());
    EXPECT_EQ(prefs.expandedPath(PreferenceKeys::ExportCSVPath), QDir(m_home).filePath(QStringLiteral("Desktop")));
    EXPECT_EQ(prefs.exportCSVPath(), QStringLiteral("~/Desktop"));
}

TEST_F(UserPreferencesTest, ImportFoldersDefaultToFoldersThatExist)
{
    using namespace PreferenceKeys;
    const QString missing = m_dir.filePath(QStringLiteral("share/applications"));
    const QString system = m_dir.filePath(QStringLiteral("usr/share/applications"));
    const QString own = QDir(m_home).filePath(QStringLiteral(".local/share/applications"));
    ASSERT_TRUE(QDir().mkpath(system));
    {
        // The first folder that exists wins; a missing one earlier in the list is passed over.
        UserPreferences prefs(m_defaults, environment(QString(), false, {missing, system}));
        EXPECT_EQ(prefs.importAppPath(), system);
        EXPECT_EQ(prefs.importIconPath(), system);
        EXPECT_EQ(prefs.expandedPath(ImportAppPath), system);
    }
    ASSERT_TRUE(QDir().mkpath(own));
    ASSERT_TRUE(QDir(m_home).mkpath(QStringLiteral("Desktop")));
    UserPreferences prefs(m_defaults, environment(QString(), false, {own, system}));
    // Inside the home folder the default is written with "~", like the other folder defaults.
    EXPECT_EQ(prefs.importAppPath(), QStringLiteral("~/.local/share/applications"));
    EXPECT_EQ(prefs.expandedPath(ImportIconPath), own);
    EXPECT_EQ(prefs.importFilePath(), QStringLiteral("~/Desktop"));

    // A chosen folder that has gone away gives way to the default, and that to the home folder.
    prefs.setImportAppPath(QStringLiteral("/Applications/No Such Folder"));
    EXPECT_EQ(prefs.expandedPath(ImportAppPath), own);
    ASSERT_TRUE(QDir(own).removeRecursively());
    EXPECT_EQ(prefs.expandedPath(ImportAppPath), m_home);
    prefs.setImportFilePath(QStringLiteral("~/Gone"));
    EXPECT_EQ(prefs.expandedPath(ImportFilePath), QDir(m_home).filePath(QStringLiteral("Desktop")));
    // Other folders are answered as they are set: their commands decide what a missing one means.
    prefs.setExportCSVPath(QStringLiteral("~/Gone"));
    EXPECT_EQ(prefs.expandedPath(ExportCSVPath), QDir(m_home).filePath(QStringLiteral("Gone")));
}

TEST_F(UserPreferencesTest, PathsInsideTheHomeFolderAreWrittenWithTilde)
{
    const QString home = QStringLiteral("/home/person");
    const std::pair<const char*, const char*> cases[] = {
        {"/home/person", "~"},
        {"/home/person/", "~"},
        {"/home/person/.local/share/applications", "~/.local/share/applications"},
        {"/home/personal/notes", "/home/personal/notes"},
        {"/usr/share/applications", "/usr/share/applications"},
        {"", ""},
    };
    for (const auto& [path, abbreviated] : cases) {
        EXPECT_EQ(UserPreferences::abbreviateTildeInPath(QString::fromUtf8(path), home), QString::fromUtf8(abbreviated))
            << path;
    }
    // A root home would turn every path into "~/...": paths stay as they are then.
    EXPECT_EQ(UserPreferences::abbreviateTildeInPath(QStringLiteral("/usr"), QStringLiteral("/")),
              QStringLiteral("/usr"));
}
