#include "software/IconThemeLookup.h"

#include "software/IconThemeIndex.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString Entries = testDataPath("/platform/software/entries");
const QString UserIcons = Entries + QStringLiteral("/icons-user");
const QString SystemIcons = Entries + QStringLiteral("/icons-system");
const QString Pixmaps = Entries + QStringLiteral("/pixmaps");

IconThemeLookup lookupIn(const QString& theme)
{
    return IconThemeLookup(theme, {UserIcons, SystemIcons}, {Pixmaps});
}

TEST(IconThemeLookup, SearchesTheThemeItsParentsHicolorThenPixmaps)
{
    const IconThemeLookup moorland = lookupIn(QStringLiteral("Moorland"));
    const std::pair<const char*, QString> cases[] = {
        {"org.example.Tray", UserIcons + QStringLiteral("/Moorland/32x32/apps/org.example.Tray.png")},
        // Found in the inherited theme before hicolor, whose images are larger.
        {"org.example.Northwind", SystemIcons + QStringLiteral("/Heath/64x64/apps/org.example.Northwind.png")},
        {"org.example.Quill", SystemIcons + QStringLiteral("/hicolor/scalable/apps/org.example.Quill.svg")},
        {"org.example.Quill.png", SystemIcons + QStringLiteral("/hicolor/scalable/apps/org.example.Quill.svg")},
        // In a base folder without the theme's index, under a folder the index names.
        {"org.example.Meter", UserIcons + QStringLiteral("/hicolor/128x128/apps/org.example.Meter.png")},
        {"org.example.Probe", SystemIcons + QStringLiteral("/hicolor/24x24@2/apps/org.example.Probe.png")},
        {"org.example.Old", Pixmaps + QStringLiteral("/org.example.Old.xpm")},
        {"org.example.Missing", QString()},
        {"", QString()},
        {"../pixmaps/org.example.Old", QString()},
        {"apps/org.example.Tray", QString()},
    };
    for (const auto& [icon, expected] : cases) {
        EXPECT_EQ(moorland.pathForIcon(QString::fromLatin1(icon)), expected) << icon;
        // A second lookup answers from what the first one learnt, with the same result.
        EXPECT_EQ(moorland.pathForIcon(QString::fromLatin1(icon)), expected) << icon;
    }

    const QString largest = SystemIcons + QStringLiteral("/hicolor/256x256/apps/org.example.Northwind.png");
    EXPECT_EQ(lookupIn(QStringLiteral("hicolor")).pathForIcon(QStringLiteral("org.example.Northwind")), largest);
    EXPECT_EQ(lookupIn(QStringLiteral("Nowhere")).pathForIcon(QStringLiteral("org.example.Northwind")), largest);
    EXPECT_TRUE(lookupIn(QStringLiteral("hicolor")).pathForIcon(QStringLiteral("org.example.Tray")).isEmpty());

    const QString absolute = Pixmaps + QStringLiteral("/org.example.Old.xpm");
    EXPECT_EQ(moorland.pathForIcon(absolute), absolute);
    EXPECT_TRUE(moorland.pathForIcon(Pixmaps + QStringLiteral("/gone.png")).isEmpty());
}

TEST(IconThemeLookup, ThemeIndexKeepsTheFoldersItCanUse)
{
    QString error;
    const std::optional<IconThemeIndex> hicolor
        = IconThemeIndex::read(SystemIcons + QStringLiteral("/hicolor/index.theme"), &error);
    ASSERT_TRUE(hicolor.has_value()) << error.toStdString();
    ASSERT_EQ(hicolor->directories.size(), 5);
    const IconThemeDirectory& scalable = hicolor->directories.at(3);
    EXPECT_EQ(scalable.path, QStringLiteral("scalable/apps"));
    EXPECT_EQ(scalable.type, IconThemeDirectory::Type::Scalable);
    EXPECT_EQ(scalable.largestPixelSize(), 256);
    EXPECT_EQ(hicolor->directories.at(4).largestPixelSize(), 48) << "24 at scale 2";

    const std::optional<IconThemeIndex> heath
        = IconThemeIndex::read(SystemIcons + QStringLiteral("/Heath/index.theme"), &error);
    ASSERT_TRUE(heath.has_value()) << error.toStdString();
    EXPECT_EQ(heath->inherits, QStringList({QStringLiteral("Moorland"), QStringLiteral("hicolor")}));
    ASSERT_EQ(heath->directories.size(), 1) << "the folder outside the theme and the one without a size are left out";
    EXPECT_EQ(heath->directories.first().path, QStringLiteral("64x64/apps"));

    EXPECT_FALSE(IconThemeIndex::read(Pixmaps + QStringLiteral("/org.example.Old.xpm"), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

TEST(IconThemeLookup, ImagesAreScaledToFitAndNonImagesAreNull)
{
    const QString hicolor = SystemIcons + QStringLiteral("/hicolor");
    const std::tuple<QString, int, QSize> cases[] = {
        {hicolor + QStringLiteral("/scalable/apps/org.example.Quill.svg"), 512, QSize(512, 256)},
        {hicolor + QStringLiteral("/scalable/apps/org.example.Quill.svg"), 64, QSize(64, 32)},
        {hicolor + QStringLiteral("/256x256/apps/org.example.Northwind.png"), 128, QSize(128, 128)},
        {hicolor + QStringLiteral("/48x48/apps/org.example.Northwind.png"), 96, QSize(96, 96)},
        {Pixmaps + QStringLiteral("/org.example.Old.xpm"), 16, QSize(16, 16)},
    };
    for (const auto& [path, size, expected] : cases) {
        const QImage image = IconThemeLookup::imageForFile(path, size);
        EXPECT_EQ(image.size(), expected) << path.toStdString() << " at " << size;
    }
    const QImage northwind
        = IconThemeLookup::imageForFile(hicolor + QStringLiteral("/48x48/apps/org.example.Northwind.png"));
    EXPECT_EQ(northwind.pixelColor(10, 10), QColor(200, 40, 40));
    EXPECT_EQ(northwind.size(), QSize(512, 512));

    for (const QString& path : {hicolor + QStringLiteral("/48x48/apps/org.example.Fake.png"), hicolor,
                                hicolor + QStringLiteral("/index.theme"), Pixmaps + QStringLiteral("/gone.png")}) {
        EXPECT_TRUE(IconThemeLookup::imageForFile(path).isNull()) << path.toStdString();
    }
    EXPECT_TRUE(
        IconThemeLookup::imageForFile(hicolor + QStringLiteral("/scalable/apps/org.example.Quill.svg"), 0).isNull());
}

TEST(IconThemeLookup, FoldersAndThemeComeFromTheEnvironment)
{
    // Without a graphical application the GTK settings name the theme.
    const QString settings = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/gtk-3.0/settings.ini");
    EXPECT_EQ(IconThemeLookup::currentThemeName(), QStringLiteral("hicolor"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\ngtk-theme-name=Moorland-dark\ngtk-icon-theme-name = Moorland\n");
    file.close();
    EXPECT_EQ(IconThemeLookup::currentThemeName(), QStringLiteral("Moorland"));
    QFile::remove(settings);

    const QByteArray savedHome = qgetenv("XDG_DATA_HOME");
    const QByteArray savedDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", "/home/moor/.local/share");
    qputenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share/");
    EXPECT_EQ(
        IconThemeLookup::standardBaseFolders(),
        QStringList({QStringLiteral("/home/moor/.local/share/icons"), QDir::homePath() + QStringLiteral("/.icons"),
                     QStringLiteral("/usr/local/share/icons"), QStringLiteral("/usr/share/icons")}));
    qputenv("XDG_DATA_HOME", savedHome);
    qputenv("XDG_DATA_DIRS", savedDirs);
}

} // namespace
