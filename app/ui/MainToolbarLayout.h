#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class UserDefaults;

// The items of the main toolbar, by identifier, and the saved choice of them. Holds no widgets.
namespace MainToolbarLayout {

inline constexpr const char* NewItem = "NewItem";
inline constexpr const char* ImportApp = "ImportApp";
inline constexpr const char* RemoveItem = "RemoveItem";
inline constexpr const char* ImportMail = "ImportMail";
inline constexpr const char* ImportOutlook = "ImportOutlook";
inline constexpr const char* AttachFile = "AttachFile";
inline constexpr const char* SearchItem = "SearchItem";
inline constexpr const char* ClipboardSerial = "ClipboardSerial";
inline constexpr const char* RemoveAttachment = "RemoveAttachment";
inline constexpr const char* ImportWidget = "ImportWidget";
inline constexpr const char* ImportPlugin = "ImportPlugin";
inline constexpr const char* ImportPrefPane = "ImportPrefPane";
inline constexpr const char* RefreshApp = "RefreshApp";
inline constexpr const char* RefreshAllApps = "RefreshAllApps";
inline constexpr const char* SyncToMobile = "KMSyncToMobileButton";
// Layout items; each may appear any number of times.
inline constexpr const char* Separator = "Separator";
inline constexpr const char* Space = "Space";
inline constexpr const char* FlexibleSpace = "FlexibleSpace";

// Where the choice is saved: a dictionary under this key holding the identifiers in order.
inline constexpr const char* ConfigurationKey = "NSToolbar Configuration mainToolbar";
inline constexpr const char* ItemIdentifiersKey = "TB Item Identifiers";

inline constexpr const char* OutlookReader = "Microsoft Outlook";

// The mail preferences the mail items follow.
struct MailSettings
{
    bool autoDetect = true;
    bool appleMailEnabled = true;
    bool outlookEnabled = false;
    QString defaultMailReader; // "Microsoft Outlook" or "Apple Mail"
};

bool isLayoutItem(const QString& identifier);
// Whether a change of this preference changes the mail items.
bool isMailPreference(const QString& key);

// The localization keys of an item's label (also its palette label) and tool tip; empty for
// layout items and unknown identifiers.
QString labelKey(const QString& identifier);
QString toolTipKey(const QString& identifier);

// The item of the default mail program: "ImportOutlook" for Outlook, else "ImportMail".
QString attachMailButton(const QString& defaultMailReader);
// The mail items: the default program's one with auto-detection, else the enabled ones with
// "ImportMail" first.
QStringList mailItems(const MailSettings& mail);
QStringList allowedItems(const MailSettings& mail);
QStringList defaultItems(const MailSettings& mail);

// A saved list brought in step with the mail preferences, so that it never offers a mail program
// that is switched off.
QStringList syncDefaultEmailReaderToolbarButton(QStringList items, const QString& defaultMailReader);
QStringList syncCustomEmailReaderToolbarButtons(QStringList items, bool appleMailEnabled, bool outlookEnabled);
QStringList syncEmailReaderToolbarButtons(const QStringList& items, const MailSettings& mail);

// The saved list; nothing when no configuration or no list is saved.
std::optional<QStringList> savedItems(const UserDefaults& defaults);
// Saves the list (keeping the configuration's other entries); false when it could not be written.
bool saveItems(UserDefaults& defaults, const QStringList& items);
// Runs the mail sync on the saved list and stores the result when it changed.
void syncSavedItems(UserDefaults& defaults, const MailSettings& mail);
// The items to show: the saved list without identifiers that are not allowed, else the defaults.
QStringList itemsToShow(const UserDefaults& defaults, const MailSettings& mail);

} // namespace MainToolbarLayout
