#include "desktop/ApplicationLocator.h"

#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString Fixtures = testDataPath("/platform/desktop");
const QString Applications = Fixtures + QStringLiteral("/Applications");
const QString Other = Fixtures + QStringLiteral("/Other");

// Sets KEYMOOR_APP_PATH for one test and restores it afterwards.
class AppPathVariable
{
public:
    explicit AppPathVariable(const QString& value)
        : m_previous(qgetenv(ApplicationLocator::PathVariable))
        , m_wasSet(qEnvironmentVariableIsSet(ApplicationLocator::PathVariable))
    {
        qputenv(ApplicationLocator::PathVariable, value.toUtf8());
    }
    ~AppPathVariable()
    {
        if (m_wasSet) {
            qputenv(ApplicationLocator::PathVariable, m_previous);
        } else {
            qunsetenv(ApplicationLocator::PathVariable);
        }
    }
    Q_DISABLE_COPY_MOVE(AppPathVariable)

private:
    QByteArray m_previous;
    bool m_wasSet;
};

TEST(ApplicationLocator, FindsBundlesByNameAndByIdentifier)
{
    const AppPathVariable variable(Applications);
    ApplicationLocator locator({}, {}, {});
    const struct
    {
        const char* name;
        const char* found; // relative to the Applications fixture; empty: none
    } byName[] = {
        {"Example Editor", "Example Editor.app"},
        {"example editor", "Example Editor.app"},
        {"Example Editor.app", "Example Editor.app"},
        {"  Example Editor ", "Example Editor.app"},
        {"Disk Helper", "Utilities/Disk Helper.app"},
        {"diskhelper", "Utilities/Disk Helper.app"}, // its CFBundleName
        {"Original Name", "Renamed.app"}, // CFBundleName from a binary Info.plist
        {"Renamed", "Renamed.app"},
        {"Broken", "Broken.app"}, // an unreadable Info.plist does not hide the folder name
        {"Bare", "Bare.app"},
        {"Display", "Display.prefPane"},
        {"Sound Effects", "Sound Effects.component"},
        {"Clock", "Clock.wdgt"},
        {"Reachable", "Deep/a/Reachable.app"},
        {"Too Deep", ""},
        {"Secret", ""},
        {"Documents", ""},
        {"Example", ""},
        {"", ""},
    };
    for (const auto& entry : byName) {
        const QString expected
            = *entry.found ? Applications + QLatin1Char('/') + QString::fromUtf8(entry.found) : QString();
        EXPECT_EQ(locator.pathForApplication(QString::fromUtf8(entry.name)), expected) << entry.name;
    }
    const struct
    {
        const char* identifier;
        const char* found;
    } byIdentifier[] = {
        {"com.example.editor", "Example Editor.app"},
        {"COM.EXAMPLE.EDITOR", "Example Editor.app"},
        {"com.example.DiskHelper", "Utilities/Disk Helper.app"},
        {"org.example.renamed", "Renamed.app"},
        {"com.example.widget.clock", "Clock.wdgt"},
        {"com.example.prefpane.display", "Display.prefPane"},
        {"com.example.too-deep", ""},
        {"com.example.secret", ""},
        {"com.example", ""},
        {"", ""},
    };
    for (const auto& entry : byIdentifier) {
        const QString expected
            = *entry.found ? Applications + QLatin1Char('/') + QString::fromUtf8(entry.found) : QString();
        EXPECT_EQ(locator.pathForBundleIdentifier(QString::fromUtf8(entry.identifier)), expected) << entry.identifier;
    }
}

TEST(ApplicationLocator, SearchesTheVariableFoldersFirstThenTheGivenOnes)
{
    const AppPathVariable variable(QStringLiteral("%1::%2").arg(Other, Applications));
    ApplicationLocator locator({Applications, Fixtures + QStringLiteral("/missing")});
    EXPECT_EQ(locator.searchFolders(), (QStringList {Other, Applications, Fixtures + QStringLiteral("/missing")}));
    EXPECT_EQ(locator.pathForApplication(QStringLiteral("Example Editor")),
              Other + QStringLiteral("/Example Editor.app"));
    EXPECT_EQ(locator.pathForBundleIdentifier(QStringLiteral("com.example.editor")),
              Applications + QStringLiteral("/Example Editor.app"));

    const AppPathVariable unset(QString {});
    ApplicationLocator onlyGiven({Applications});
    EXPECT_EQ(onlyGiven.pathForApplication(QStringLiteral("Example Editor")),
              Applications + QStringLiteral("/Example Editor.app"));
}

TEST(ApplicationLocator, StandardFoldersStartWithTheImportFolder)
{
    const QString home = QDir::homePath();
    EXPECT_EQ(ApplicationLocator::standardFolders(QStringLiteral("~/Programs")),
              (QStringList {home + QStringLiteral("/Programs"), QStringLiteral("/Applications"),
                            home + QStringLiteral("/Applications")}));
    EXPECT_EQ(ApplicationLocator::standardFolders(QStringLiteral("/Applications")),
              (QStringList {QStringLiteral("/Applications"), home + QStringLiteral("/Applications")}));
    EXPECT_EQ(ApplicationLocator::standardFolders().size(), 2);
}

TEST(ApplicationLocator, KeepsItsScanUntilRefreshed)
{
    const AppPathVariable unset(QString {});
    QTemporaryDir folder;
    ApplicationLocator locator({folder.path()});
    EXPECT_TRUE(locator.pathForApplication(QStringLiteral("Late")).isEmpty());
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Late.app/Contents")));
    EXPECT_TRUE(locator.pathForApplication(QStringLiteral("Late")).isEmpty());
    locator.refresh();
    EXPECT_EQ(locator.pathForApplication(QStringLiteral("Late")), folder.filePath(QStringLiteral("Late.app")));
}

TEST(ApplicationLocator, SurvivesFolderLoops)
{
    const AppPathVariable unset(QString {});
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("inner")));
    ASSERT_TRUE(QFile::link(folder.path(), folder.filePath(QStringLiteral("inner/loop"))));
    ASSERT_TRUE(QFile::link(folder.path(), folder.filePath(QStringLiteral("again"))));
    ApplicationLocator locator({folder.path()});
    EXPECT_TRUE(locator.pathForApplication(QStringLiteral("Nothing")).isEmpty());
    EXPECT_TRUE(locator.pathForBundleIdentifier(QStringLiteral("com.example.nothing")).isEmpty());
}

// A scratch tree with a bundle, desktop entries and AppImages, all of them named "Tool".
class InstalledTools
{
public:
    InstalledTools()
    {
        write(QStringLiteral("Bundles/Tool.app/Contents/PkgInfo"), "APPL????");
        write(QStringLiteral("share/applications/org.example.Tool.desktop"),
              "[Desktop Entry]\nType=Application\nName=Tool\nName[de]=Werkzeug\nExec=tool\n");
        write(QStringLiteral("share/applications/kde/meter.desktop"),
              "[Desktop Entry]\nType=Application\nName=Level Meter\nExec=meter\n");
        write(QStringLiteral("AppImages/Tool-2.0-x86_64.AppImage"), "");
        write(QStringLiteral("AppImages/Sketcher.AppImage"), "");
        write(QStringLiteral("AppImages/readme.txt"), "");
    }
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    ApplicationLocator locator(bool withBundles) const
    {
        return ApplicationLocator(withBundles ? QStringList {path(QStringLiteral("Bundles"))} : QStringList(),
                                  {path(QStringLiteral("share/applications"))}, {path(QStringLiteral("AppImages"))});
    }

private:
    void write(const QString& relative, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_root;
};

TEST(ApplicationLocator, FindsDesktopApplicationsAndAppImagesAfterBundles)
{
    const AppPathVariable unset(QString {});
    const InstalledTools tools;
    const QString entry = tools.path(QStringLiteral("share/applications/org.example.Tool.desktop"));
    const QString meter = tools.path(QStringLiteral("share/applications/kde/meter.desktop"));

    ApplicationLocator withBundles = tools.locator(true);
    EXPECT_EQ(withBundles.pathForApplication(QStringLiteral("tool")), tools.path(QStringLiteral("Bundles/Tool.app")));
    EXPECT_EQ(withBundles.bundlePaths(), QStringList {tools.path(QStringLiteral("Bundles/Tool.app"))});

    ApplicationLocator locator = tools.locator(false);
    EXPECT_TRUE(locator.bundlePaths().isEmpty());
    const struct
    {
        const char* name;
        QString found;
    } byName[] = {
        {"Tool", entry}, // the desktop entry before the AppImage of the same name
        {"TOOL", entry},
        {"level meter", meter},
        {"Sketcher", tools.path(QStringLiteral("AppImages/Sketcher.AppImage"))},
        {"sketcher.AppImage", tools.path(QStringLiteral("AppImages/Sketcher.AppImage"))},
        {"readme", QString()},
        {"Sketch", QString()},
    };
    for (const auto& test : byName) {
        EXPECT_EQ(locator.pathForApplication(QString::fromUtf8(test.name)), test.found) << test.name;
    }
    const struct
    {
        const char* identifier;
        QString found;
    } byIdentifier[] = {
        {"org.example.Tool", entry},
        {"org.example.Tool.desktop", entry},
        {"kde-meter", meter}, // the ID of an entry in a nested folder
        {"Tool-2.0-x86_64", tools.path(QStringLiteral("AppImages/Tool-2.0-x86_64.AppImage"))},
        {"Tool", QString()}, // an identifier is the whole name, never a prefix
        {"org.example", QString()},
    };
    for (const auto& test : byIdentifier) {
        EXPECT_EQ(locator.pathForBundleIdentifier(QString::fromUtf8(test.identifier)), test.found) << test.identifier;
    }

    // A copy scans again; refresh forgets entries that are gone.
    ApplicationLocator copy = locator;
    EXPECT_EQ(copy.pathForApplication(QStringLiteral("Level Meter")), meter);
    QFile::remove(meter);
    EXPECT_EQ(locator.pathForApplication(QStringLiteral("Level Meter")), meter);
    locator.refresh();
    EXPECT_TRUE(locator.pathForApplication(QStringLiteral("Level Meter")).isEmpty());
}

} // namespace
