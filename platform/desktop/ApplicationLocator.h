#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class DesktopApplicationIndex;

// Finds installed applications by name or by identifier: application bundles (and other bundles)
// in the application folders, the applications of the desktop entries in the desktop application
// folders, and bare AppImage files in the AppImage folders, in that order.
//
// Bundles: the folders of the environment variable KEYMOOR_APP_PATH (separated by colons) are
// searched first, then the folders the caller gives. Bundles are found down to MaximumDepth levels
// below each folder ("Name.app", "Utilities/Name.app", "A/B/Name.app"); bundles are not entered and
// hidden folders are skipped. Within one folder, entries are visited in the order of their names.
//
// The folders are scanned on the first lookup and the result is kept until refresh(), so a batch
// of lookups reads each Info.plist and desktop entry once.
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
    // The desktop application folders of the XDG data folders (DesktopApplicationIndex's).
    static QStringList standardDesktopApplicationFolders();
    // The folders people keep AppImage files in (InstalledSoftwareScanner's).
    static QStringList standardAppImageFolders();

    explicit ApplicationLocator(const QStringList& folders,
                                const QStringList& desktopApplicationFolders = standardDesktopApplicationFolders(),
                                const QStringList& appImageFolders = standardAppImageFolders());
    ~ApplicationLocator();
    ApplicationLocator(const ApplicationLocator& other);
    ApplicationLocator& operator=(const ApplicationLocator& other);
    ApplicationLocator(ApplicationLocator&& other) noexcept;
    ApplicationLocator& operator=(ApplicationLocator&& other) noexcept;

    // KEYMOOR_APP_PATH's folders, then the given ones, without repetitions.
    QStringList searchFolders() const;
    const QStringList& desktopApplicationFolders() const { return m_desktopFolders; }

    // The bundle whose folder name without its extension, or else whose CFBundleName, equals the
    // name (ignoring case; a bundle extension in the name is ignored); else the desktop file of
    // the application whose Name (localized or not) equals it ignoring case; else the bare AppImage
    // named so (ignoring case, with or without ".AppImage", also "Name-1.2-x86_64.AppImage").
    // Empty when none does.
    QString pathForApplication(const QString& name);

    // The bundle whose CFBundleIdentifier equals the identifier (ignoring case); else the desktop
    // file of that desktop-file ID; else the bare AppImage whose file name without extension is
    // the identifier. Empty when none does or the identifier is empty.
    QString pathForBundleIdentifier(const QString& identifier);

    // Every bundle found in the application folders, in the order of the scan.
    QStringList bundlePaths();

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
    QString bundleForName(const QString& name);
    QString appImageForName(const QString& name, bool exactOnly);
    DesktopApplicationIndex& desktopIndex();

    QStringList m_folders;
    QStringList m_desktopFolders;
    QStringList m_appImageFolders;
    bool m_scanned = false;
    std::vector<Bundle> m_bundles;
    QStringList m_appImages;
    std::unique_ptr<DesktopApplicationIndex> m_desktopIndex; // made on first use
};
