#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "model/AttachmentEntity.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"
#include "support/WidgetLookup.h"
#include "ui/AttachmentListModel.h"
#include "ui/AttachmentListView.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesController.h"
#include "ui/PreferencesPane.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMainWindow>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MainWindowPreferencesTest : public ::testing::Test
{
protected:
    QString writeFile(const QString& name)
    {
        QFile file(m_scratch.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
        return file.fileName();
    }

    static QStringList listedNames(const AttachmentListModel* model)
    {
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row) {
            names.append(model->index(row, AttachmentListModel::NameColumn).data().toString());
        }
        return names;
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    QTemporaryDir m_scratch;
};

TEST_F(MainWindowPreferencesTest, SyncWithSyncSwitchedOffOpensTheSyncPaneAndWritesNothing)
{
    auto controller = m_library.start(&m_ui);
    controller->userPrefs().setSyncDropFolderLocation(m_scratch.path());
    MainWindow window(controller.get());
    window.show();

    window.syncAction()->trigger();
    PreferencesController* preferences = window.preferencesController();
    QMainWindow* shown = preferences->window();
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(preferences->activePane()->identifier(), QString::fromLatin1(KeymoorAppDelegate::SyncPreferencesPane));
    EXPECT_EQ(shown->windowTitle(), localizedString(QStringLiteral("PreferencesSyncTab")));
    EXPECT_TRUE(preferences->toolbarItem(QStringLiteral("Sync Update"))->isChecked());
    EXPECT_TRUE(QDir(m_scratch.path()).isEmpty());
    EXPECT_TRUE(m_ui.alerts().isEmpty());

    // Edit > Preferences… brings back the same window; each main window has its own.
    EXPECT_FALSE(child<QAction>(window, "preferencesAction")->shortcuts().isEmpty());
    child<QAction>(window, "preferencesAction")->trigger();
    EXPECT_EQ(window.preferencesController(), preferences);
    EXPECT_EQ(preferences->window(), shown);
    MainWindow second(controller.get());
    EXPECT_NE(second.preferencesController(), preferences);
}

TEST_F(MainWindowPreferencesTest, AnOpenPreferencesWindowClosesWithTheControllerItWritesThrough)
{
    auto controller = m_library.start(&m_ui);
    MainWindow window(controller.get());
    child<QAction>(window, "preferencesAction")->trigger();
    QPointer<QMainWindow> shown = window.preferencesController()->window();
    ASSERT_TRUE(shown && shown->isVisible());
    controller.reset();
    EXPECT_TRUE(shown.isNull());
    EXPECT_EQ(window.preferencesController(), nullptr);
    child<QAction>(window, "preferencesAction")->trigger(); // nothing left to open
}

TEST_F(MainWindowPreferencesTest, ChoosingDateReordersTheOpenAttachmentList)
{
    auto controller = m_library.start(&m_ui);
    ProductEntity* product = UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("App"));
    AttachmentEntity* newer = product->attachDocument(writeFile(QStringLiteral("a-newer.txt")));
    AttachmentEntity* older = product->attachDocument(writeFile(QStringLiteral("b-older.txt")));
    ASSERT_TRUE(newer && older);
    newer->setDate(QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    older->setDate(QDateTime(QDate(2009, 3, 25), QTime(12, 0)));
    ASSERT_TRUE(controller->saveAction());
    MainWindow window(controller.get());
    ASSERT_TRUE(window.selectProduct(product));
    const AttachmentListModel* model = child<AttachmentListView>(window, "attachmentsView")->model();
    ASSERT_EQ(listedNames(model), QStringList({"a-newer.txt", "b-older.txt"}));

    window.preferencesController()->showWindow();
    auto* choice
        = window.preferencesController()->activePane()->findChild<QComboBox*>(PreferenceKeys::AttachmentSortKey);
    ASSERT_NE(choice, nullptr);
    QTest::keyClick(choice, Qt::Key_Down);
    EXPECT_EQ(choice->currentText(), QStringLiteral("Date"));
    EXPECT_EQ(listedNames(model), QStringList({"b-older.txt", "a-newer.txt"}));
}

} // namespace
