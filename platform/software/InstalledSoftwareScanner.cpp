#include "InstalledSoftwareScanner.h"

#include "AppImageFile.h"
#include "AppStreamCatalogue.h"
#include "DebianPackages.h"
#include "DesktopApplicationIndex.h"
#include "FlatpakPackages.h"
#include "IconThemeLookup.h"
#include "SnapPackages.h"
#include "SoftwareVersion.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

// "$XDG_DATA_HOME" (or "~/.local/share"), then "$XDG_DATA_DIRS" (or "/usr/local/share:/usr/share").
QStringList dataFolders()
{
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty()) {
        home = QDir::homePath() + QStringLiteral("/.local/share");
    }
    QStringList folders {home};
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty()) {
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    }
    folders.append(dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts));
    for (QString& folder : folders) {
        folder = QDir::cleanPath(folder);
    }
    folders.removeDuplicates();
    return folders;
}

// Where an entry came from, as far as the entry itself tells; dpkg is asked about the rest.
SoftwareSource sourceOfEntry(const DesktopApplication& entry)
{
    if (!entry.flatpakId.isEmpty() || entry.path.contains(QLatin1String("/flatpak/exports/"))) {
        return SoftwareSource::Flatpak;
    }
    if (!entry.snapInstance.isEmpty() || entry.path.contains(QLatin1String("/snapd/desktop/"))) {
        return SoftwareSource::Snap;
    }
    if (!entry.appImageVersion.isEmpty() || !AppImageFile::appImageOfExec(entry.exec).isEmpty()) {
        return SoftwareSource::AppImage;
    }
    return SoftwareSource::Local;
}

QString flatpakIdOf(const DesktopApplication& entry)
{
    return entry.flatpakId.isEmpty() ? entry.id : entry.flatpakId;
}

// Snap's exported entries are named "<instance>_<app>.desktop".
QString snapInstanceOf(const DesktopApplication& entry)
{
    return entry.snapInstance.isEmpty() ? entry.id.section(QLatin1Char('_'), 0, 0) : entry.snapInstance;
}

// What the package managers say, asked once for all the entries of a scan.
struct PackageFacts
{
    QHash<QString, QString> debianOwners; // by desktop file
    QHash<QString, DebianPackage> debian;
    QHash<QString, FlatpakPackage> flatpak;
    QHash<QString, SnapPackage> snap;

    PackageFacts(const QList<DesktopApplication>& entries, const QList<SoftwareSource>& sources)
    {
        QStringList unclaimed;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (sources.at(i) == SoftwareSource::Local) {
                unclaimed.append(entries.at(i).path);
            }
        }
        if (!unclaimed.isEmpty()) {
            debianOwners = DebianPackages::owners(unclaimed);
            debian = DebianPackages::packages(QSet<QString>(debianOwners.cbegin(), debianOwners.cend()).values());
        }
        if (sources.contains(SoftwareSource::Flatpak)) {
            flatpak = FlatpakPackages::installed();
        }
        if (sources.contains(SoftwareSource::Snap)) {
            snap = SnapPackages::installed();
        }
    }
};

class Describer
{
public:
    Describer(const InstalledSoftwareScanner::Folders& folders)
        : m_catalogue(folders.metainfo)
        , m_icons(folders.iconTheme, folders.iconBases, folders.pixmaps)
    { }

    InstalledApplication describe(const DesktopApplication& entry, SoftwareSource source, const PackageFacts& facts)
    {
        InstalledApplication application;
        application.id = entry.id;
        application.path = entry.path;
        application.title = entry.name;
        application.summary = entry.comment;
        application.exec = entry.exec;
        application.noDisplay = entry.noDisplay;
        application.iconPath = entry.icon.isEmpty() ? QString() : m_icons.pathForIcon(entry.icon);
        application.source = source;
        addPackageFacts(application, entry, facts);
        addMetainfo(application, entry);
        return application;
    }

private:
    void addPackageFacts(InstalledApplication& application, const DesktopApplication& entry, const PackageFacts& facts)
    {
        if (application.source == SoftwareSource::Local) {
            const auto owner = facts.debianOwners.constFind(entry.path);
            if (owner != facts.debianOwners.constEnd()) {
                application.source = SoftwareSource::Deb;
                const DebianPackage package = facts.debian.value(owner.value());
                application.version = SoftwareVersion::upstream(package.version);
                application.website = package.homepage;
                application.publisher = DebianPackages::maintainerOrganisation(package.maintainer);
            }
        } else if (application.source == SoftwareSource::Flatpak) {
            application.version = facts.flatpak.value(flatpakIdOf(entry)).version;
        } else if (application.source == SoftwareSource::Snap) {
            const SnapPackage package = facts.snap.value(snapInstanceOf(entry));
            application.version = package.version;
            application.publisher = package.publisher;
        } else if (application.source == SoftwareSource::AppImage) {
            application.version = entry.appImageVersion;
            const QString appImage = AppImageFile::appImageOfExec(entry.exec);
            if (application.version.isEmpty() && !appImage.isEmpty()) {
                application.version = AppImageFile::nameParts(appImage).version;
            }
        }
    }

    // The metainfo's developer, homepage and summary win over the package's; its newest release
    // stands in for a version no package manager gave.
    void addMetainfo(InstalledApplication& application, const DesktopApplication& entry)
    {
        std::optional<AppStreamComponent> component = m_catalogue.componentForDesktopId(entry.id);
        if (!component && !entry.flatpakId.isEmpty()) {
            component = m_catalogue.componentForDesktopId(entry.flatpakId);
        }
        if (!component) {
            return;
        }
        if (application.title.isEmpty()) {
            application.title = component->name;
        }
        if (application.version.isEmpty()) {
            application.version = component->newestRelease;
        }
        application.publisher = component->developer.isEmpty() ? application.publisher : component->developer;
        application.website = component->homepage.isEmpty() ? application.website : component->homepage;
        application.summary = component->summary.isEmpty() ? application.summary : component->summary;
        application.email = component->email;
    }

    AppStreamCatalogue m_catalogue;
    IconThemeLookup m_icons;
};

InstalledApplication bareAppImage(const QString& path)
{
    const QFileInfo info(path);
    const AppImageFile::NameParts parts = AppImageFile::nameParts(info.fileName());
    InstalledApplication application;
    application.id = info.fileName().endsWith(QLatin1String(".AppImage"), Qt::CaseInsensitive) ? info.completeBaseName()
                                                                                               : info.fileName();
    application.path = info.absoluteFilePath();
    application.title = parts.title;
    application.version = parts.version;
    application.exec = application.path;
    application.source = SoftwareSource::AppImage;
    return application;
}

QList<InstalledApplication> describeEntries(const QList<DesktopApplication>& entries,
                                            const InstalledSoftwareScanner::Folders& folders)
{
    QList<SoftwareSource> sources;
    sources.reserve(entries.size());
    for (const DesktopApplication& entry : entries) {
        sources.append(sourceOfEntry(entry));
    }
    const PackageFacts facts(entries, sources);
    Describer describer(folders);
    QList<InstalledApplication> applications;
    applications.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        applications.append(describer.describe(entries.at(i), sources.at(i), facts));
    }
    return applications;
}

} // namespace

InstalledSoftwareScanner::Folders InstalledSoftwareScanner::standardFolders()
{
    Folders folders;
    folders.applications = DesktopApplicationIndex::standardFolders();
    for (const QString& data : dataFolders()) {
        folders.metainfo.append(data + QStringLiteral("/metainfo"));
        folders.metainfo.append(data + QStringLiteral("/appdata"));
    }
    folders.iconBases = IconThemeLookup::standardBaseFolders();
    folders.pixmaps = QStringList {QStringLiteral("/usr/share/pixmaps")};
    for (const char* folder : {"/Applications", "/.local/bin", "/AppImages"}) {
        folders.appImages.append(QDir::homePath() + QString::fromLatin1(folder));
    }
    folders.iconTheme = IconThemeLookup::currentThemeName();
    return folders;
}

InstalledSoftwareScanner::InstalledSoftwareScanner(Folders folders)
    : m_folders(std::move(folders))
{ }

QList<InstalledApplication> InstalledSoftwareScanner::scan()
{
    DesktopApplicationIndex index(m_folders.applications);
    QList<InstalledApplication> applications = describeEntries(index.applications(), m_folders);
    QSet<QString> known;
    for (const InstalledApplication& application : std::as_const(applications)) {
        const QString appImage = AppImageFile::appImageOfExec(application.exec);
        if (!appImage.isEmpty()) {
            known.insert(QFileInfo(appImage).absoluteFilePath());
        }
    }
    for (const QString& folder : std::as_const(m_folders.appImages)) {
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& file : files) {
            if (!known.contains(file.absoluteFilePath()) && isAppImage(file.absoluteFilePath())) {
                known.insert(file.absoluteFilePath());
                applications.append(bareAppImage(file.absoluteFilePath()));
            }
        }
    }
    std::stable_sort(applications.begin(), applications.end(),
                     [](const InstalledApplication& a, const InstalledApplication& b) { return a.id < b.id; });
    return applications;
}

std::optional<InstalledApplication> InstalledSoftwareScanner::application(const QString& pathOrId)
{
    const QString text = pathOrId.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    std::optional<DesktopApplication> entry;
    if (QFileInfo(text).isFile()) {
        if (isAppImage(text) && !text.endsWith(QLatin1String(".desktop"))) {
            return bareAppImage(text);
        }
        entry = DesktopApplicationIndex::readFile(text, m_folders.applications);
    } else if (!text.contains(QLatin1Char('/'))) {
        entry = DesktopApplicationIndex(m_folders.applications).applicationForId(text);
    }
    if (!entry) {
        return std::nullopt;
    }
    return describeEntries({*entry}, m_folders).constFirst();
}

bool InstalledSoftwareScanner::isAppImage(const QString& path)
{
    return AppImageFile::isAppImage(path);
}
