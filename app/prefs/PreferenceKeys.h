#pragma once

#include <QLatin1String>

// The key strings of every preference in the per-user defaults store. Other modules read these keys
// through UserPreferences or straight from UserDefaults; the strings are stored in users' settings
// files, so they never change.
namespace PreferenceKeys {

inline constexpr QLatin1String ProductSortKey("Product Sort Key"); // string, "title"
inline constexpr QLatin1String ProductSortAscending("Product Sort Ascending"); // bool, true
inline constexpr QLatin1String AttachmentSortKey("Attachment Sort Key"); // string, "name"
inline constexpr QLatin1String AttachmentSortAscending("Attachment Sort Ascending"); // bool, true
inline constexpr QLatin1String CurrencySortKey("Currency Sort Key"); // string, "sortIndex"
inline constexpr QLatin1String CurrencySortAscending("Currency Sort Ascending"); // bool, true
inline constexpr QLatin1String AutoSaveTimeInterval("Auto Save Time Interval Key"); // double seconds, 60.0
inline constexpr QLatin1String DefaultUserInfoToAddressBook("Default User Info to Address Book Key"); // bool, true
inline constexpr QLatin1String AddressBookProfile("AddressBook Profile"); // string, "Auto" | "Home" | "Work"
// Where new products' name and e-mail come from: "Automatic" (the first source that knows them) or
// one of "AddressCard" | "Thunderbird" | "Evolution" | "OnlineAccounts" | "Git" | "Account".
inline constexpr QLatin1String RegistrationInfoSource("Registration Info Source"); // string, "Automatic"
inline constexpr QLatin1String ScanEmailUponImport("Scan Email Upon Import Key"); // bool, true
inline constexpr QLatin1String AskBeforeReplacingCurrentInfo("Ask Before Replacing Current Info Key"); // bool, true
inline constexpr QLatin1String AutoCopySerial("Auto Copy Serial"); // bool, false
inline constexpr QLatin1String AutoDetectEmailReader("AutoDetect Email Reader"); // bool, true
inline constexpr QLatin1String EnableAppleMail("Enable Apple Mail"); // bool, computed
inline constexpr QLatin1String EnableMicrosoftOutlook("KMEnableMicrosoftOutlook"); // bool, computed
// Where "Find Licences in Mail" reads: "Thunderbird" | "Evolution" | "Maildir" | "Mbox"; none: the
// default mail program's store. The path is the Maildir folder or mbox file of the last two.
inline constexpr QLatin1String MailSource("Mail Source"); // string, none
inline constexpr QLatin1String MailSourcePath("Mail Source Path"); // path, none
inline constexpr QLatin1String ImportAppPath("Import App Path"); // folder, the first XDG applications folder, else "~"
inline constexpr QLatin1String ImportIconPath("Import Icon Path"); // folder, as "Import App Path"
inline constexpr QLatin1String ImportFilePath("Import File Path"); // folder, "~/Desktop" when it exists, else "~"
inline constexpr QLatin1String ExportAttachmentPath("Export Attachment Path"); // folder, "~/Desktop"
inline constexpr QLatin1String ExportCSVPath("Export CSV Path"); // folder, "~/Desktop"
inline constexpr QLatin1String PhoneExportFolder("Phone Export Folder"); // folder, none
inline constexpr QLatin1String PhoneExportPassphraseFile("Phone Export Passphrase File"); // path, none
inline constexpr QLatin1String PrintAllOneAppPerPage("Print All One App Per Page"); // bool, true
inline constexpr QLatin1String ActiveExportValues("ZRActiveExportValuesDefaultsKey"); // dictionary key path -> bool
inline constexpr QLatin1String SyncOn("ZRSyncOnKey"); // bool, false
inline constexpr QLatin1String SyncDropFolderLocation("ZRSyncDropFolderLocationKey"); // folder, computed

} // namespace PreferenceKeys
