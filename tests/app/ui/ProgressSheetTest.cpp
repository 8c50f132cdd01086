#include "ui/ProgressSheet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>

#include <gtest/gtest.h>

TEST(ProgressSheet, StartShowsItModallyAndStopHidesIt)
{
    QMainWindow window;
    window.show();
    ProgressSheet sheet(&window);
    EXPECT_FALSE(sheet.isShown());

    sheet.start(QStringLiteral("Importing the text file…"));
    EXPECT_TRUE(sheet.isShown());
    EXPECT_TRUE(sheet.isAnimating());
    EXPECT_EQ(sheet.message(), QStringLiteral("Importing the text file…"));
    EXPECT_EQ(sheet.windowModality(), Qt::WindowModal);
    EXPECT_EQ(QApplication::activeModalWidget(), &sheet);

    sheet.stop();
    EXPECT_FALSE(sheet.isShown());
    EXPECT_FALSE(sheet.isAnimating());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ProgressSheet, StopWhileHiddenChangesNothingAndStartsAreNotCounted)
{
    QMainWindow window;
    window.show();
    ProgressSheet sheet(&window);
    sheet.stop();
    EXPECT_FALSE(sheet.isShown());

    // Two operations start it; the first stop hides it, the second changes nothing.
    sheet.start(QStringLiteral("first"));
    sheet.start(QStringLiteral("second"));
    EXPECT_EQ(sheet.message(), QStringLiteral("second"));
    sheet.stop();
    EXPECT_FALSE(sheet.isShown());
    sheet.stop();
    EXPECT_FALSE(sheet.isShown());

    // It can be shown again any number of times.
    sheet.start(QStringLiteral("again"));
    EXPECT_TRUE(sheet.isShown());
    EXPECT_TRUE(sheet.isAnimating());
    sheet.stop();
}

TEST(ProgressSheet, ThePersonCannotDismissIt)
{
    QMainWindow window;
    window.show();
    ProgressSheet sheet(&window);
    sheet.start(QStringLiteral("Exporting…"));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&sheet, &escape);
    EXPECT_TRUE(sheet.isShown());
    sheet.close();
    EXPECT_TRUE(sheet.isShown());
    sheet.stop();
    EXPECT_FALSE(sheet.isShown());
}
