#include "desktop/DesktopIcons.h"

#include "support/TestData.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Applications = testDataPath("/platform/desktop/Applications");

bool hasVisiblePixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

void expectIcon(const QImage& image, int size, const std::string& what)
{
    ASSERT_FALSE(image.isNull()) << what;
    EXPECT_EQ(image.size(), QSize(size, size)) << what;
    EXPECT_TRUE(image.hasAlphaChannel()) << what;
    EXPECT_TRUE(hasVisiblePixels(image)) << what;
}

// Runs in the graphical test (theme icons where the theme has them) and in the command-line one
// (drawn icons): both give square images of the size asked for.
TEST(DesktopIcons, GivesSquareImagesOfTheSizeAskedFor)
{
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Serial: 1234\n");
    file.close();

    expectIcon(DesktopIcons::genericApplicationIcon(), DesktopIcons::DefaultSize, "generic application");
    expectIcon(DesktopIcons::genericApplicationIcon(48), 48, "generic application at 48");
    expectIcon(DesktopIcons::genericApplicationIcon(0), DesktopIcons::MinimumSize, "too small");
    expectIcon(DesktopIcons::genericApplicationIcon(100000), DesktopIcons::MaximumSize, "too large");
    for (const QString& path :
         {text, folder.path(), Applications + QStringLiteral("/Example Editor.app"),
          Applications + QStringLiteral("/Display.prefPane"), folder.filePath(QStringLiteral("missing"))}) {
        expectIcon(DesktopIcons::iconForFile(path, 64), 64, path.toStdString());
    }
}

} // namespace
