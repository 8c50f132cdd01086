#include "ui/MainToolbarLayout.h"

#include "prefs/UserDefaults.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace MainToolbarLayout;

const QString outlookReader = QStringLiteral("Microsoft Outlook");
const QString appleReader = QStringLiteral("Apple Mail");

MailSettings autoDetect(const QString& reader)
{
    return MailSettings {true, true, false, reader};
}

MailSettings chosen(bool apple, bool outlook)
{
    return MailSettings {false, apple, outlook, appleReader};
}

QStringList split(const char* items)
{
    return QString::fromLatin1(items).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

struct SyncCase
{
    const char* name;
    MailSettings mail;
    const char* saved;
    const char* expected;
};

const SyncCase syncCases[] = {
    {"default Outlook replaces Mail in place", autoDetect(outlookReader),
     "NewItem ImportApp Separator ImportMail AttachFile", "NewItem ImportApp Separator ImportOutlook AttachFile"},
    {"default Mail replaces Outlook in place", autoDetect(appleReader), "ImportOutlook SearchItem",
     "ImportMail SearchItem"},
    {"both become one at the first place", autoDetect(appleReader), "NewItem ImportOutlook AttachFile ImportMail",
     "NewItem ImportMail AttachFile"},
    {"auto-detection adds nothing to a list without mail", autoDetect(outlookReader), "NewItem SearchItem",
     "NewItem SearchItem"},
    {"both enabled, neither saved: unchanged", chosen(true, true), "NewItem AttachFile", "NewItem AttachFile"},
    {"both enabled and saved: unchanged", chosen(true, true), "ImportOutlook ImportMail", "ImportOutlook ImportMail"},
    {"Outlook switched off is replaced by Mail", chosen(true, false), "NewItem ImportOutlook AttachFile",
     "NewItem ImportMail AttachFile"},
    {"Mail switched off, Outlook enabled", chosen(false, true), "ImportMail SearchItem", "ImportOutlook SearchItem"},
    {"both off removes both", chosen(false, false), "ImportMail AttachFile ImportOutlook", "AttachFile"},
    {"an enabled item saved alone stays", chosen(true, true), "ImportMail", "ImportMail"},
    {"Mail off, Outlook already there stays", chosen(false, true), "ImportOutlook ImportMail", "ImportOutlook"},
    {"removal at the end inserts at the end", chosen(false, true), "NewItem ImportMail", "NewItem ImportOutlook"},
};

TEST(MainToolbarLayoutTest, SavedMailItemsFollowThePreferences)
{
    for (const SyncCase& test : syncCases) {
        EXPECT_EQ(syncEmailReaderToolbarButtons(split(test.saved), test.mail), split(test.expected)) << test.name;
    }
}

TEST(MainToolbarLayoutTest, DefaultAndAllowedItemsCarryTheMailItemsOfThePreferences)
{
    EXPECT_EQ(defaultItems(autoDetect(outlookReader)),
              split("NewItem ImportApp Separator ImportOutlook AttachFile Separator KMSyncToMobileButton "
                    "FlexibleSpace SearchItem"));
    EXPECT_EQ(mailItems(MailSettings {true, false, true, appleReader}), split("ImportMail"));
    EXPECT_EQ(mailItems(chosen(true, true)), split("ImportMail ImportOutlook"));
    EXPECT_EQ(mailItems(chosen(false, false)), QStringList());
    EXPECT_EQ(allowedItems(chosen(false, true)),
              split("NewItem RemoveItem ImportApp ImportWidget ImportPlugin ImportPrefPane ImportOutlook AttachFile "
                    "RemoveAttachment ClipboardSerial RefreshApp RefreshAllApps KMSyncToMobileButton SearchItem "
                    "Separator Space FlexibleSpace"));
    for (const QString& item : allowedItems(chosen(true, true))) {
        EXPECT_TRUE(isLayoutItem(item) || !labelKey(item).isEmpty()) << item.toStdString();
    }
}

class SavedToolbarTest : public ::testing::Test
{
protected:
    QTemporaryDir m_folder;
    UserDefaults m_defaults {m_folder.filePath(QStringLiteral("Keymoor.conf"))};
};

TEST_F(SavedToolbarTest, ListsOfAnyLengthSurviveTheSettingsFile)
{
    EXPECT_FALSE(savedItems(m_defaults).has_value());
    for (const QStringList& items : {split("NewItem Separator SearchItem"), split("SearchItem"), QStringList()}) {
        ASSERT_TRUE(saveItems(m_defaults, items));
        UserDefaults reread(m_defaults.filePath());
        ASSERT_TRUE(savedItems(reread).has_value());
        EXPECT_EQ(*savedItems(reread), items);
    }
}

TEST_F(SavedToolbarTest, SyncEditsOnlyASavedListAndShowingDropsUnknownItems)
{
    syncSavedItems(m_defaults, autoDetect(outlookReader));
    EXPECT_FALSE(m_defaults.hasUserValue(QString::fromLatin1(ConfigurationKey)));
    EXPECT_EQ(itemsToShow(m_defaults, autoDetect(outlookReader)), defaultItems(autoDetect(outlookReader)));

    ASSERT_TRUE(saveItems(m_defaults, split("NewItem ImportApp Separator ImportMail Bogus NewItem Separator")));
    syncSavedItems(m_defaults, autoDetect(outlookReader));
    EXPECT_EQ(*savedItems(m_defaults), split("NewItem ImportApp Separator ImportOutlook Bogus NewItem Separator"));
    EXPECT_EQ(itemsToShow(m_defaults, autoDetect(outlookReader)),
              split("NewItem ImportApp Separator ImportOutlook Separator"));
}

} // namespace
