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
    ApplicationLocator locator({});
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

} // namespace
