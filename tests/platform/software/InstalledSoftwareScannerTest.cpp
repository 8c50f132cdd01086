#include "software/InstalledSoftwareScanner.h"

#include "PackageToolPath.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Facts = testDataPath("/platform/software/facts");

InstalledSoftwareScanner::Folders fixtureFolders()
{
    InstalledSoftwareScanner::Folders folders;
    folders.applications = {Facts + QStringLiteral("/applications")};
    folders.metainfo = {Facts + QStringLiteral("/metainfo"), Facts + QStringLiteral("/appdata")};
    folders.iconBases = {Facts + QStringLiteral("/icons")};
    folders.appImages = {Facts + QStringLiteral("/AppImages"), Facts + QStringLiteral("/no-such-folder")};
    folders.iconTheme = QStringLiteral("hicolor");
    return folders;
}

QHash<QString, InstalledApplication> byId(const QList<InstalledApplication>& applications)
{
    QHash<QString, InstalledApplication> result;
    for (const InstalledApplication& application : applications) {
        result.insert(application.id, application);
    }
    return result;
}

QStringList logLines(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
        ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        : QStringList();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

class InstalledSoftwareScannerTest : public ::testing::Test
{
protected:
    QTemporaryDir m_folder;
    QString m_log = m_folder.filePath(QStringLiteral("runs.log"));
};

TEST_F(InstalledSoftwareScannerTest, PutsTogetherEntriesMetainfoIconsAndPackages)
{
    const PackageToolPath path(Facts + QStringLiteral("/bin"), m_log);
    const QList<InstalledApplication> applications = InstalledSoftwareScanner(fixtureFolders()).scan();
    QStringList ids;
    for (const InstalledApplication& application : applications) {
        ids.append(application.id);
    }
    EXPECT_EQ(ids,
              QStringList({QStringLiteral("Seachart-0.9.3-x86_64"), QStringLiteral("harbour"),
                           QStringLiteral("lighthouse_lighthouse"), QStringLiteral("mystery"),
                           QStringLiteral("org.example.Flat"), QStringLiteral("org.example.Northwind"),
                           QStringLiteral("settings-helper"), QStringLiteral("tidewatch"),
                           QStringLiteral("vendor-tools-chart")}));
    const QHash<QString, InstalledApplication> found = byId(applications);

    // A Debian package's version wins over the newest release of the metainfo; the metainfo's
    // developer and homepage win over the package's maintainer and Homepage.
    const InstalledApplication northwind = found.value(QStringLiteral("org.example.Northwind"));
    EXPECT_EQ(northwind.source, SoftwareSource::Deb);
    EXPECT_EQ(northwind.title, QStringLiteral("Northwind"));
    EXPECT_EQ(northwind.version, QStringLiteral("2.4.1"));
    EXPECT_EQ(northwind.publisher, QStringLiteral("Northwind Software Ltd."));
    EXPECT_EQ(northwind.website, QStringLiteral("https://northwind.example/"));
    EXPECT_EQ(northwind.email, QStringLiteral("support@northwind.example"));
    EXPECT_EQ(northwind.summary, QStringLiteral("Draw nautical charts"));
    EXPECT_TRUE(northwind.iconPath.endsWith(QStringLiteral("/48x48/apps/northwind.png")))
        << northwind.iconPath.toStdString();
    EXPECT_EQ(northwind.exec, QStringLiteral("northwind %U"));

    // Without metainfo, the package gives the website; a distribution's team is no publisher.
    const InstalledApplication chart = found.value(QStringLiteral("vendor-tools-chart"));
    EXPECT_EQ(chart.source, SoftwareSource::Deb);
    EXPECT_EQ(chart.version, QStringLiteral("3.0.1"));
    EXPECT_EQ(chart.website, QStringLiteral("https://chartkit.example"));
    EXPECT_TRUE(chart.publisher.isEmpty());
    EXPECT_TRUE(chart.iconPath.isEmpty()) << "the entry's icon file does not exist";

    // No package owns it: the metainfo gives version, publisher, website and summary.
    const InstalledApplication harbour = found.value(QStringLiteral("harbour"));
    EXPECT_EQ(harbour.source, SoftwareSource::Local);
    EXPECT_EQ(harbour.version, QStringLiteral("1.0"));
    EXPECT_EQ(harbour.publisher, QStringLiteral("Harbour Tools"));
    EXPECT_EQ(harbour.website, QStringLiteral("https://harbour.example"));
    EXPECT_EQ(harbour.email, QStringLiteral("help@harbour.example"));
    EXPECT_EQ(harbour.summary, QStringLiteral("Moorings and berths"));
    EXPECT_TRUE(harbour.iconPath.endsWith(QStringLiteral("/scalable/apps/harbour.svg")))
        << harbour.iconPath.toStdString();

    const InstalledApplication helper = found.value(QStringLiteral("settings-helper"));
    EXPECT_EQ(helper.source, SoftwareSource::Deb) << "diversion lines do not hide the owner";
    EXPECT_TRUE(helper.noDisplay);
    EXPECT_EQ(helper.summary, QString());
}

TEST_F(InstalledSoftwareScannerTest, TellsFlatpaksSnapsAndAppImagesApart)
{
    const PackageToolPath path(Facts + QStringLiteral("/bin"), m_log);
    const QHash<QString, InstalledApplication> found = byId(InstalledSoftwareScanner(fixtureFolders()).scan());

    const InstalledApplication flat = found.value(QStringLiteral("org.example.Flat"));
    EXPECT_EQ(flat.source, SoftwareSource::Flatpak);
    EXPECT_EQ(flat.version, QStringLiteral("5.0.2"));
    EXPECT_EQ(flat.publisher, QStringLiteral("Flat Works"));
    EXPECT_TRUE(flat.email.isEmpty());

    const InstalledApplication lighthouse = found.value(QStringLiteral("lighthouse_lighthouse"));
    EXPECT_EQ(lighthouse.source, SoftwareSource::Snap);
    EXPECT_EQ(lighthouse.version, QStringLiteral("3.1.4"));
    EXPECT_EQ(lighthouse.publisher, QStringLiteral("lighthouse-labs"));

    const InstalledApplication tidewatch = found.value(QStringLiteral("tidewatch"));
    EXPECT_EQ(tidewatch.source, SoftwareSource::AppImage);
    EXPECT_EQ(tidewatch.version, QStringLiteral("1.2.0"));

    // Bare AppImages: one by its name, one by its ELF mark; other files are left alone.
    const InstalledApplication seachart = found.value(QStringLiteral("Seachart-0.9.3-x86_64"));
    EXPECT_EQ(seachart.source, SoftwareSource::AppImage);
    EXPECT_EQ(seachart.title, QStringLiteral("Seachart"));
    EXPECT_EQ(seachart.version, QStringLiteral("0.9.3"));
    EXPECT_EQ(seachart.path, QDir::cleanPath(Facts + QStringLiteral("/AppImages/Seachart-0.9.3-x86_64.AppImage")));
    EXPECT_EQ(found.value(QStringLiteral("mystery")).title, QStringLiteral("mystery"));
    EXPECT_TRUE(found.value(QStringLiteral("mystery")).version.isEmpty());

    // One run of each tool for the whole scan: dpkg's search, dpkg's show, flatpak, snap.
    EXPECT_EQ(logLines(m_log),
              QStringList({QStringLiteral("dpkg-query --search 4"), QStringLiteral("dpkg-query --show 3"),
                           QStringLiteral("flatpak list --app --columns=application,version,origin"),
                           QStringLiteral("snap list")}));
}

// Hundreds of entries still cost a handful of dpkg runs; an entry whose Exec runs an AppImage
// is that AppImage's, and the AppImage is not listed a second time on its own.
TEST_F(InstalledSoftwareScannerTest, AsksDpkgAFewTimesForManyEntries)
{
    const QString applications = m_folder.filePath(QStringLiteral("applications"));
    for (int i = 0; i < 900; ++i) {
        ASSERT_TRUE(writeFile(
            QStringLiteral("%1/generated-%2.desktop").arg(applications).arg(i),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Generated %1\nExec=generated\n").arg(i).toUtf8()));
    }
    const QString appImage = m_folder.filePath(QStringLiteral("bin/Tidewatch-1.3.0-x86_64.AppImage"));
    ASSERT_TRUE(writeFile(appImage, "not really a program"));
    ASSERT_TRUE(writeFile(
        applications + QStringLiteral("/tidewatch.desktop"),
        QStringLiteral("[Desktop Entry]\nType=Application\nName=Tidewatch\nExec=\"%1\" %U\n").arg(appImage).toUtf8()));
    InstalledSoftwareScanner::Folders folders = fixtureFolders();
    folders.applications = {applications};
    folders.appImages = {m_folder.filePath(QStringLiteral("bin"))};

    const PackageToolPath path(Facts + QStringLiteral("/bin"), m_log);
    const QList<InstalledApplication> found = InstalledSoftwareScanner(folders).scan();
    ASSERT_EQ(found.size(), 901);
    const QHash<QString, InstalledApplication> applicationsById = byId(found);
    EXPECT_EQ(applicationsById.value(QStringLiteral("tidewatch")).source, SoftwareSource::AppImage);
    EXPECT_EQ(applicationsById.value(QStringLiteral("tidewatch")).version, QStringLiteral("1.3.0"));
    EXPECT_EQ(applicationsById.value(QStringLiteral("generated-7")).source, SoftwareSource::Local);
    EXPECT_EQ(logLines(m_log),
              QStringList({QStringLiteral("dpkg-query --search 400"), QStringLiteral("dpkg-query --search 400"),
                           QStringLiteral("dpkg-query --search 100")}))
        << "no --show run when no package owns anything";
}

TEST_F(InstalledSoftwareScannerTest, GarbageOrMissingToolsLeaveOnlyTheirFactsOut)
{
    for (const QString& tools : {Facts + QStringLiteral("/garbage-bin"), m_folder.filePath(QStringLiteral("empty"))}) {
        QDir().mkpath(tools);
        const PackageToolPath path(tools);
        const QHash<QString, InstalledApplication> found = byId(InstalledSoftwareScanner(fixtureFolders()).scan());
        ASSERT_EQ(found.size(), 9) << tools.toStdString();
        const InstalledApplication northwind = found.value(QStringLiteral("org.example.Northwind"));
        EXPECT_EQ(northwind.source, SoftwareSource::Local);
        EXPECT_EQ(northwind.version, QStringLiteral("2.10.0")) << "the newest release stands in";
        EXPECT_EQ(northwind.website, QStringLiteral("https://northwind.example/"));
        EXPECT_EQ(found.value(QStringLiteral("org.example.Flat")).source, SoftwareSource::Flatpak);
        EXPECT_TRUE(found.value(QStringLiteral("org.example.Flat")).version.isEmpty());
        EXPECT_TRUE(found.value(QStringLiteral("lighthouse_lighthouse")).publisher.isEmpty());
    }
}

TEST_F(InstalledSoftwareScannerTest, DescribesOneApplicationByPathOrId)
{
    const PackageToolPath path(Facts + QStringLiteral("/bin"), m_log);
    InstalledSoftwareScanner scanner(fixtureFolders());
    for (const QString& name :
         {QStringLiteral("org.example.Northwind"), QStringLiteral("org.example.Northwind.desktop"),
          Facts + QStringLiteral("/applications/org.example.Northwind.desktop")}) {
        const auto northwind = scanner.application(name);
        ASSERT_TRUE(northwind.has_value()) << name.toStdString();
        EXPECT_EQ(northwind->id, QStringLiteral("org.example.Northwind"));
        EXPECT_EQ(northwind->version, QStringLiteral("2.4.1"));
        EXPECT_EQ(northwind->source, SoftwareSource::Deb);
    }
    EXPECT_EQ(logLines(m_log).first(), QStringLiteral("dpkg-query --search 1")) << "dpkg is asked about that file only";

    const auto chart = scanner.application(Facts + QStringLiteral("/applications/vendor/tools-chart.desktop"));
    ASSERT_TRUE(chart.has_value());
    EXPECT_EQ(chart->id, QStringLiteral("vendor-tools-chart"));

    const auto seachart = scanner.application(Facts + QStringLiteral("/AppImages/Seachart-0.9.3-x86_64.AppImage"));
    ASSERT_TRUE(seachart.has_value());
    EXPECT_EQ(seachart->source, SoftwareSource::AppImage);
    EXPECT_EQ(seachart->version, QStringLiteral("0.9.3"));

    for (const QString& nothing :
         {QString(), QStringLiteral("removed"), QStringLiteral("org.example.Unknown"),
          Facts + QStringLiteral("/AppImages/notes.txt"), Facts + QStringLiteral("/applications/missing.desktop"),
          QStringLiteral("../applications/harbour")}) {
        EXPECT_FALSE(scanner.application(nothing).has_value()) << nothing.toStdString();
    }
}

TEST(AppImageFile, TellsAppImagesByNameOrMarkAndReadsTheirNames)
{
    const QString folder = Facts + QStringLiteral("/AppImages");
    EXPECT_TRUE(InstalledSoftwareScanner::isAppImage(folder + QStringLiteral("/mystery")));
    EXPECT_TRUE(InstalledSoftwareScanner::isAppImage(folder + QStringLiteral("/Seachart-0.9.3-x86_64.AppImage")));
    EXPECT_FALSE(InstalledSoftwareScanner::isAppImage(folder + QStringLiteral("/plain-elf")));
    EXPECT_FALSE(InstalledSoftwareScanner::isAppImage(folder + QStringLiteral("/notes.txt")));
    EXPECT_FALSE(InstalledSoftwareScanner::isAppImage(folder));

    struct Case
    {
        const char* fileName;
        const char* title;
        const char* version;
    };
    const std::vector<Case> cases {
        {"Northwind-2.4.1-x86_64.AppImage", "Northwind", "2.4.1"},
        {"Northwind_v2.4.1_amd64.appimage", "Northwind", "2.4.1"},
        {"Sea-Chart-10.0-beta2-aarch64.AppImage", "Sea-Chart", "10.0-beta2"},
        {"Northwind.AppImage", "Northwind", ""},
        {"Northwind-x86_64.AppImage", "Northwind", ""},
        {"7zip-23.01.AppImage", "7zip", "23.01"},
    };
    for (const Case& c : cases) {
        const QString fileName = QString::fromLatin1(c.fileName);
        InstalledSoftwareScanner::Folders folders;
        QTemporaryDir temporary;
        const QString file = temporary.filePath(fileName);
        ASSERT_TRUE(writeFile(file, "x"));
        const auto application = InstalledSoftwareScanner(folders).application(file);
        ASSERT_TRUE(application.has_value()) << c.fileName;
        EXPECT_EQ(application->title, QString::fromLatin1(c.title)) << c.fileName;
        EXPECT_EQ(application->version, QString::fromLatin1(c.version)) << c.fileName;
    }
}

} // namespace
