// Discovery of installed software at scale: a temporary XDG tree with 2,000 desktop entries, their
// AppStream metainfo and theme icons, and a stand-in dpkg-query with a database of 3,000 packages
// that own three of every four entries. Times InstalledSoftwareScanner::scan() and, when the path
// of the keymoor executable is given, a whole `keymoor discover --json` process over the same tree.
//
// Usage: discover_benchmark [PATH-TO-keymoor]
#include "software/InstalledSoftwareScanner.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int EntryCount = 2000;
constexpr int PackageCount = 3000;
constexpr int Runs = 5;

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QString idFor(int i)
{
    return QStringLiteral("org.bench.App%1").arg(i, 4, 10, QLatin1Char('0'));
}

QString packageFor(int i)
{
    return QStringLiteral("bench-app%1").arg(i, 4, 10, QLatin1Char('0'));
}

// Every tenth entry lives in a vendor sub-folder, as some packages install them.
QString desktopPathFor(const QString& share, int i)
{
    const QString relative = i % 10 == 0 ? QStringLiteral("vendor/%1.desktop").arg(idFor(i).mid(10))
                                         : idFor(i) + QStringLiteral(".desktop");
    return share + QStringLiteral("/applications/") + relative;
}

QByteArray pngOfSize(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(qRgba(40, 90, 160, 255));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

QByteArray metainfoFor(int i)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<component type=\"desktop-application\">\n"
                          "  <id>%1</id>\n  <name>Bench App %2</name>\n  <summary>Generated application %2</summary>\n"
                          "  <developer id=\"org.bench\"><name>Bench Vendor %3</name></developer>\n"
                          "  <description><p>An application generated to measure discovery.</p></description>\n"
                          "  <url type=\"homepage\">https://bench.example/%2</url>\n"
                          "  <url type=\"contact\">mailto:support%2@bench.example</url>\n"
                          "  <launchable type=\"desktop-id\">%4</launchable>\n"
                          "  <releases>\n    <release version=\"1.%2.0\"/>\n    <release version=\"1.%2.10\"/>\n"
                          "    <release version=\"1.%2.9\"/>\n    <release version=\"1.%2.10~rc1\"/>\n  </releases>\n"
                          "</component>\n")
        .arg(idFor(i))
        .arg(i)
        .arg(i % 50)
        .arg(i % 10 == 0 ? QStringLiteral("vendor-") + idFor(i).mid(10) + QStringLiteral(".desktop")
                         : idFor(i) + QStringLiteral(".desktop"))
        .toUtf8();
}

// A dpkg-query that answers from two generated tables with awk, as quickly as the real one at best.
QByteArray stubDpkgQuery(const QString& data)
{
    return QStringLiteral(
               "#!/bin/sh\nPATH=/usr/bin:/bin\nmode=$1\nshift\n"
               "case \"$1\" in --showformat=*) shift ;; esac\n[ \"$1\" = \"--\" ] && shift\n"
               "if [ \"$mode\" = --search ]; then\n"
               "  printf '%s\\n' \"$@\" | awk -F '\\t' 'FNR==NR{want[$0]=1;next} ($1 in want){print $2\": \"$1}' - "
               "'%1/files'\n"
               "else\n"
               "  printf '%s\\n' \"$@\" | awk -F '\\t' 'FNR==NR{want[$0]=1;next} ($1 in want){print}' - "
               "'%1/status'\n"
               "fi\n")
        .arg(data)
        .toUtf8();
}

bool buildTree(const QString& root)
{
    const QString share = root + QStringLiteral("/share");
    const QByteArray smallIcon = pngOfSize(48);
    const QByteArray largeIcon = pngOfSize(128);
    bool ok = writeFile(share + QStringLiteral("/icons/hicolor/index.theme"),
                        "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps,128x128/apps\n\n"
                        "[48x48/apps]\nSize=48\nType=Threshold\n\n[128x128/apps]\nSize=128\nType=Threshold\n");
    QByteArray files;
    QByteArray status;
    for (int i = 0; i < EntryCount && ok; ++i) {
        const QString id = idFor(i);
        ok = writeFile(desktopPathFor(share, i),
                       QStringLiteral("[Desktop Entry]\nType=Application\nName=Bench App %1\nName[de]=Testprogramm %1\n"
                                      "Comment=Generated\nIcon=%2\nExec=bench-app-%1 %U\nCategories=Utility;\n")
                           .arg(i)
                           .arg(id)
                           .toUtf8())
            && writeFile(share + QStringLiteral("/metainfo/%1.metainfo.xml").arg(id), metainfoFor(i))
            && writeFile(share + QStringLiteral("/icons/hicolor/48x48/apps/%1.png").arg(id), smallIcon)
            && writeFile(share + QStringLiteral("/icons/hicolor/128x128/apps/%1.png").arg(id), largeIcon);
        if (i % 4 != 3) {
            files += (desktopPathFor(share, i) + QLatin1Char('\t') + packageFor(i) + QLatin1Char('\n')).toUtf8();
        }
    }
    for (int i = 0; i < PackageCount; ++i) {
        files += QStringLiteral("/usr/share/doc/%1/copyright\t%1\n").arg(packageFor(i)).toUtf8();
        status
            += QStringLiteral("%1\t1:%2.0-1\thttps://packages.bench.example/%1\tBench Packagers <pkg@bench.example>\n")
                   .arg(packageFor(i))
                   .arg(i)
                   .toUtf8();
    }
    const QString bin = root + QStringLiteral("/bin");
    ok = ok && writeFile(root + QStringLiteral("/dpkg/files"), files)
        && writeFile(root + QStringLiteral("/dpkg/status"), status)
        && writeFile(bin + QStringLiteral("/dpkg-query"), stubDpkgQuery(root + QStringLiteral("/dpkg")));
    return ok
        && QFile::setPermissions(bin + QStringLiteral("/dpkg-query"),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                     | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

struct Timing
{
    double best = 0;
    double median = 0;
};

template<typename Work>
Timing time(Work work)
{
    QList<double> runs;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!work()) {
            return {-1, -1};
        }
        runs.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    return {runs.first(), runs.at(runs.size() / 2)};
}

InstalledSoftwareScanner::Folders treeFolders(const QString& root)
{
    const QString share = root + QStringLiteral("/share");
    InstalledSoftwareScanner::Folders folders;
    folders.applications = {share + QStringLiteral("/applications")};
    folders.metainfo = {share + QStringLiteral("/metainfo"), share + QStringLiteral("/appdata")};
    folders.iconBases = {share + QStringLiteral("/icons")};
    folders.appImages = {root + QStringLiteral("/home/Applications")};
    folders.iconTheme = QStringLiteral("hicolor");
    return folders;
}

bool runDiscover(const QString& keymoor, const QString& root)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString home = root + QStringLiteral("/home");
    QDir().mkpath(home);
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), root + QStringLiteral("/share"));
    environment.insert(QStringLiteral("PATH"), root + QStringLiteral("/bin"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(keymoor, {QStringLiteral("discover"), QStringLiteral("--json")});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "keymoor discover --json failed: %s\n",
                     process.readAllStandardError().left(2000).constData());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid() || !buildTree(folder.path())) {
        std::fprintf(stderr, "could not build the tree in %s\n", qPrintable(folder.path()));
        return 1;
    }
    const QString root = folder.path();
    qputenv("PATH", QFile::encodeName(root + QStringLiteral("/bin")));

    qsizetype found = 0;
    qsizetype withVersion = 0;
    qsizetype withIcon = 0;
    const Timing scan = time([&] {
        const QList<InstalledApplication> applications = InstalledSoftwareScanner(treeFolders(root)).scan();
        found = applications.size();
        withVersion = std::count_if(applications.cbegin(), applications.cend(),
                                    [](const InstalledApplication& a) { return !a.version.isEmpty(); });
        withIcon = std::count_if(applications.cbegin(), applications.cend(),
                                 [](const InstalledApplication& a) { return !a.iconPath.isEmpty(); });
        return true;
    });
    std::printf("scan() of %d entries (%d packages): best %.0f ms, median %.0f ms; %lld applications, %lld with a "
                "version, %lld with an icon\n",
                EntryCount, PackageCount, scan.best, scan.median, qlonglong(found), qlonglong(withVersion),
                qlonglong(withIcon));

    if (argc > 1) {
        const QString keymoor = QFile::decodeName(argv[1]);
        const Timing process = time([&] { return runDiscover(keymoor, root); });
        if (process.best < 0) {
            return 1;
        }
        std::printf("keymoor discover --json: best %.0f ms, median %.0f ms\n", process.best, process.median);
    }
    return 0;
}
