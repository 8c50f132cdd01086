#include "ui/MainWindow.h"

#include <gtest/gtest.h>

TEST(MainWindow, OpensTitledKeymoor)
{
    MainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Keymoor"));
    EXPECT_TRUE(window.isVisible());
}
