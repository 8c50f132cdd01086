#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// Finds installed applications and other bundles by name or by bundle identifier in the
// application folders. The folders of the environment variable KEYMOOR_APP_PATH (separated by
// colons) are searched first, then the folders the caller gives. Bundles are found down to
// MaximumDepth levels below each folder ("Name.app", "Utilities/Name.app", "A/B/Name.app"); bundles
// are not entered and hidden folders are skipped. Within one folder, entries are visited in the
// order of their names.
//
// The folders are scanned on the first lookup and the result is kept until refresh(), so a batch
// of lookups reads each Info.plist once.
class ApplicationLocator
{
public:
    static constexpr const char* PathVariable = "KEYMOOR_APP_PATH";
    static constexpr int MaximumDepth = 3;
    // A scan stops after this many folders, whatever the folders given.
    static constexpr int MaximumFolders = 20000;

    // The usual folders: the given import folder, "/Applications" and "~/Applications"; a leading
    // "~" stands for the home folder.
    static QStringList standardFolders(const QString& importFolder = QString());

    explicit ApplicationLocator(const QStringList& folders);

    // KEYMOOR_APP_PATH's folders, then the given ones, without repetitions.
    QStringList searchFolders() const;

    // The bundle whose folder name without its extension, or else whose CFBundleName, equals the
    // name (ignoring case; a bundle extension in the name is ignored). Empty when none does.
    QString pathForApplication(const QString& name);

    // The bundle whose CFBundleIdentifier equals the identifier (ignoring case). Empty when none
    // does or the identifier is empty.
    QString pathForBundleIdentifier(const QString& identifier);

    // Forgets what the last scan found.
    void refresh();

private:
    struct Bundle
    {
        QString path;
        QString baseName;
        bool infoRead = false;
        QString identifier;
        QString bundleName;
    };

    void scanIfNeeded();
    void scanFolder(const QString& folder, int depth, int& foldersSeen, QSet<QString>& visited);
    void readInfo(Bundle& bundle) const;

    QStringList m_folders;
    bool m_scanned = false;
    std::vector<Bundle> m_bundles;
};
