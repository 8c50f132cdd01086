#pragma once

#include "SortOrder.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class UserDefaults;

// Registers the application's preference defaults and offers typed access to every key of
// PreferenceKeys. Holds no values of its own: everything lives in the UserDefaults store.
class UserPreferences
{
public:
    // What the computed defaults depend on; tests describe a machine of their own.
    struct Environment
    {
        QString defaultMailReader; // "Microsoft Outlook" or "Apple Mail"; empty counts as "Apple Mail"
        bool dropboxInstalled = false; // a "dropbox" program on PATH or in ~/.dropbox-dist
        QString homePath; // expands "~"
        // The XDG "applications" folders in order; the first that exists is where the application
        // and icon choosers start.
        QStringList applicationFolders;

        // This machine; `defaultMailReader` comes from the e-mail subsystem.
        static Environment detect(const QString& defaultMailReader = QString());
    };

    // Registers the defaults in `defaults` (once per launch).
    explicit UserPreferences(UserDefaults& defaults, Environment environment = Environment::detect());

    UserDefaults& defaults() const { return m_defaults; }
    const Environment& environment() const { return m_environment; }

    // The 14 exportable product key paths, in export order, and the default dictionary of
    // Where "export html" and File > Export for Phone write Keymoor.html, and the passphrase file
    // they read; empty when none is remembered.
    QString phoneExportFolder() const;
    void setPhoneExportFolder(const QString& path);
    QString phoneExportPassphraseFile() const;
    void setPhoneExportPassphraseFile(const QString& path);

    // "ZRActiveExportValuesDefaultsKey" (every key path set to true).
    static QStringList exportableKeyPaths();
    static QVariantMap registeredCVSExportFields();

    // "~" or "~/..." (and "~user/...") with the home folder put in; other paths unchanged.
    static QString expandTildeInPath(const QString& path, const QString& homePath);
    // "~" for the home folder itself, "~/..." for a path inside it; other paths unchanged.
    static QString abbreviateTildeInPath(const QString& path, const QString& homePath);
    // The value of a folder preference with "~" expanded. An import folder ("Import App Path",
    // "Import Icon Path", "Import File Path") that does not exist answers its registered default
    // instead, and the home folder when that is gone too, so a chooser never starts in a missing
    // folder.
    QString expandedPath(const QString& key) const;

    // Sort orders. Saving keeps the first entry only and ignores an empty list; loading compares
    // keys containing "date" in their natural order and the others as text ignoring case.
    SortOrder loadSortDescriptorsArray(const QString& sortKey, const QString& ascendingKey) const;
    void saveSortDescriptorsArray(const SortOrder& order, const QString& sortKey, const QString& ascendingKey);
    SortOrder productSortDescriptorsArray() const;
    void setProductSortDescriptorsArray(const SortOrder& order);
    SortOrder attachmentSortDescriptorsArray() const;
    void setAttachmentSortDescriptorsArray(const SortOrder& order);
    SortOrder currencySortDescriptorsArray() const; // always natural order
    void setCurrencySortDescriptorsArray(const SortOrder& order);

    // Seconds between autosaves; a stored period that is not a positive number reads as the
    // default, and the setter ignores one.
    double autoSaveTimeInterval() const;
    void setAutoSaveTimeInterval(double seconds);

    bool scanEmailUponImport() const;
    void setScanEmailUponImport(bool on);
    bool askBeforeReplaceInfo() const;
    void setAskBeforeReplaceInfo(bool on);
    bool autoCopySerial() const;
    void setAutoCopySerial(bool on);
    bool defaultUserInfoToAddressBook() const;
    void setDefaultUserInfoToAddressBook(bool on);
    bool autoDetectEmailReader() const;
    void setAutoDetectEmailReader(bool on);
    bool enableAppleMail() const;
    void setEnableAppleMail(bool on);
    bool enableMicrosoftOutlook() const;
    void setEnableMicrosoftOutlook(bool on);
    bool printAllOneAppPerPage() const;
    void setPrintAllOneAppPerPage(bool on);
    bool syncOn() const;
    void setSyncOn(bool on);

    // Folder preferences answer the stored text; use expandedPath() to open them.
    QString importAppPath() const;
    void setImportAppPath(const QString& path);
    QString importFilePath() const;
    void setImportFilePath(const QString& path);
    QString importIconPath() const;
    void setImportIconPath(const QString& path);
    QString exportAttachmentPath() const;
    void setExportAttachmentPath(const QString& path);
    QString exportCSVPath() const;
    void setExportCSVPath(const QString& path);
    QString syncDropFolderLocation() const;
    void setSyncDropFolderLocation(const QString& path);

    static QStringList addressBookProfiles(); // "Auto", "Home", "Work"
    QString addressBookProfile() const;
    void setAddressBookProfile(const QString& profile); // ignores a value outside addressBookProfiles()

    // The mail source of "Find Licences in Mail": one of mailSources() or empty (the default mail
    // program's store); the setter ignores other values. The path is stored as given.
    static QStringList mailSources(); // "Thunderbird", "Evolution", "Maildir", "Mbox"
    QString mailSource() const;
    void setMailSource(const QString& source);
    QString mailSourcePath() const;
    void setMailSourcePath(const QString& path);

    // "ZRActiveExportValuesDefaultsKey": key path -> whether the delimited export writes it.
    QVariantMap activeExportValues() const;
    void setActiveExportValues(const QVariantMap& values);

private:
    void registerDefaults();
    bool boolValue(const QString& key) const;
    void setBool(const QString& key, bool on);
    void setString(const QString& key, const QString& text);

    UserDefaults& m_defaults;
    Environment m_environment;
};
