#include "PackageToolPath.h"
#include "software/DebianPackages.h"
#include "software/FlatpakPackages.h"
#include "software/PackageToolRunner.h"
#include "software/SnapPackages.h"
#include "support/TestData.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Facts = testDataPath("/platform/software/facts");
const QString StubTools = Facts + QStringLiteral("/bin");
const QString GarbageTools = Facts + QStringLiteral("/garbage-bin");

QStringList logLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST(DebianPackages, ParsesSearchAndShowOutput)
{
    const QByteArray search = "northwind: /usr/share/applications/org.example.Northwind.desktop\n"
                              "chartkit:amd64, chartkit-data: /usr/share/applications/chart.desktop\n"
                              "diversion by settings-base from: /usr/share/applications/helper.desktop\n"
                              "diversion by settings-base to: /usr/share/applications/helper.desktop.distrib\n"
                              "local diversion from: /etc/x.desktop\n"
                              "Bad Name: /usr/share/applications/bad.desktop\n"
                              "no separator at all\n";
    const QHash<QString, QString> owners = DebianPackages::parseSearchOutput(search);
    EXPECT_EQ(owners.size(), 2);
    EXPECT_EQ(owners.value(QStringLiteral("/usr/share/applications/org.example.Northwind.desktop")),
              QStringLiteral("northwind"));
    EXPECT_EQ(owners.value(QStringLiteral("/usr/share/applications/chart.desktop")), QStringLiteral("chartkit"));

    const QByteArray show
        = "libc6\t2.36-9\thttps://www.gnu.org/software/libc/\tGNU Libc Maintainers <x@lists.debian.org>\n"
          "northwind\t1:2.4.1-3\t\tNorthwind Software <packages@northwind.example>\n"
          "northwind\t9.9\t\tA second architecture\n"
          "only\ttwo\n"
          "noversion\t\t\t\n";
    const QHash<QString, DebianPackage> packages = DebianPackages::parseShowOutput(show);
    EXPECT_EQ(packages.size(), 2);
    EXPECT_EQ(packages.value(QStringLiteral("northwind")).version, QStringLiteral("1:2.4.1-3"));
    EXPECT_EQ(packages.value(QStringLiteral("libc6")).homepage, QStringLiteral("https://www.gnu.org/software/libc/"));
}

TEST(DebianPackages, TakesTheMaintainerOnlyWhenNoDistributionPackagedIt)
{
    const std::vector<std::pair<const char*, const char*>> cases {
        {"Northwind Software <packages@northwind.example>", "Northwind Software"},
        {"Northwind Software", "Northwind Software"},
        {"Debian Science Team <debian-science@lists.debian.org>", ""},
        {"Jane Developer <jane@debian.org>", ""},
        {"Ubuntu Developers <ubuntu-devel-discuss@lists.ubuntu.com>", ""},
        {"Someone <someone@notdebian.org>", "Someone"},
        {"", ""},
    };
    for (const auto& [maintainer, organisation] : cases) {
        EXPECT_EQ(DebianPackages::maintainerOrganisation(QString::fromUtf8(maintainer)),
                  QString::fromUtf8(organisation))
            << maintainer;
    }
}

// Over a thousand files cost a few runs, not one each; files no package owns and packages dpkg
// does not know (it exits 1 for them) do not spoil the answers for the others.
TEST(DebianPackages, AsksDpkgInBatches)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("runs.log"));
    const PackageToolPath path(StubTools, log);
    QStringList paths {QStringLiteral("/usr/share/applications/org.example.Northwind.desktop"),
                       QStringLiteral("/usr/share/applications/vendor/tools-chart.desktop"),
                       QStringLiteral("relative/ignored.desktop")};
    for (int i = 0; i < 1000; ++i) {
        paths.append(QStringLiteral("/usr/share/applications/unowned-%1.desktop").arg(i));
    }
    const QHash<QString, QString> owners = DebianPackages::owners(paths);
    EXPECT_EQ(owners.size(), 2);
    EXPECT_EQ(owners.value(paths.at(1)), QStringLiteral("chartkit"));
    EXPECT_EQ(logLines(log),
              QStringList({QStringLiteral("dpkg-query --search 400"), QStringLiteral("dpkg-query --search 400"),
                           QStringLiteral("dpkg-query --search 202")}));

    const QHash<QString, DebianPackage> packages = DebianPackages::packages(
        {QStringLiteral("northwind"), QStringLiteral("chartkit:amd64"), QStringLiteral("unknown"),
         QStringLiteral("Bad Name; rm -rf"), QStringLiteral("northwind")});
    EXPECT_EQ(packages.size(), 2);
    EXPECT_EQ(packages.value(QStringLiteral("chartkit")).version, QStringLiteral("2:3.0.1-1ubuntu2"));
    EXPECT_EQ(packages.value(QStringLiteral("northwind")).maintainer,
              QStringLiteral("Northwind Software <packages@northwind.example>"));
    EXPECT_EQ(logLines(log).constLast(), QStringLiteral("dpkg-query --show 3"));
    EXPECT_TRUE(DebianPackages::packages({}).isEmpty());
    EXPECT_EQ(logLines(log).size(), 4) << "no run for an empty question";
}

TEST(PackageTools, GarbageOrMissingToolsGiveNoFacts)
{
    const QStringList paths {QStringLiteral("/usr/share/applications/org.example.Northwind.desktop"),
                             QStringLiteral("/usr/share/applications/harbour.desktop")};
    {
        const PackageToolPath path(GarbageTools);
        EXPECT_TRUE(DebianPackages::owners(paths).isEmpty());
        EXPECT_TRUE(DebianPackages::packages({QStringLiteral("northwind")}).isEmpty());
        EXPECT_TRUE(FlatpakPackages::installed().isEmpty());
        EXPECT_TRUE(SnapPackages::installed().isEmpty());
    }
    QTemporaryDir empty;
    const PackageToolPath path(empty.path());
    EXPECT_TRUE(DebianPackages::owners(paths).isEmpty());
    EXPECT_TRUE(FlatpakPackages::installed().isEmpty());
    EXPECT_TRUE(SnapPackages::installed().isEmpty());
    QString error;
    EXPECT_FALSE(PackageToolRunner::run(QStringLiteral("dpkg-query"), {}, &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("dpkg-query")));
}

TEST(PackageTools, ReadsFlatpakAndSnapLists)
{
    const PackageToolPath path(StubTools);
    const QHash<QString, FlatpakPackage> flatpaks = FlatpakPackages::installed();
    EXPECT_EQ(flatpaks.size(), 2);
    EXPECT_EQ(flatpaks.value(QStringLiteral("org.example.Flat")).version, QStringLiteral("5.0.2"));
    EXPECT_EQ(flatpaks.value(QStringLiteral("org.example.Flat")).origin, QStringLiteral("flathub"));
    EXPECT_TRUE(flatpaks.value(QStringLiteral("org.example.NoVersion")).version.isEmpty());

    const QHash<QString, SnapPackage> snaps = SnapPackages::installed();
    EXPECT_EQ(snaps.size(), 4) << "the header is no snap";
    EXPECT_EQ(snaps.value(QStringLiteral("lighthouse")).version, QStringLiteral("3.1.4"));
    EXPECT_EQ(snaps.value(QStringLiteral("lighthouse")).publisher, QStringLiteral("lighthouse-labs"));
    EXPECT_EQ(snaps.value(QStringLiteral("lighthouse_beta")).publisher, QStringLiteral("lighthouse-labs"));
    EXPECT_EQ(snaps.value(QStringLiteral("core22")).publisher, QStringLiteral("canonical"));
    EXPECT_TRUE(snaps.value(QStringLiteral("tinytool")).publisher.isEmpty());
}

} // namespace
