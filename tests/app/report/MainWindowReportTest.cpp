#include "../ui/UiTestLibrary.h"
#include "prefs/UserPreferences.h"
#include "report/PrintPanel.h"
#include "support/WidgetLookup.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// Keeps the plain text of what it is asked to print.
class RecordingPrintPanel : public PrintPanel
{
public:
    Result printDocument(QTextDocument& document, bool showPrintPanel, QString*) override
    {
        printed.append(document.toPlainText());
        shownPanel = showPrintPanel;
        return Result::Printed;
    }
    QStringList printed;
    bool shownPanel = false;
};

QStringList fileMenuTexts(MainWindow& window)
{
    QStringList texts;
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->menu() && menu->text() == QLatin1String("&File")) {
            for (const QAction* action : menu->menu()->actions()) {
                texts.append(action->text());
            }
        }
    }
    return texts;
}

TEST(MainWindowReportTest, TheFileMenuPrintsTheSelectionOrEverythingAndSyncs)
{
    UiTestLibrary library;
    ScriptedUserInterface ui;
    auto controller = library.start(&ui);
    UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("Tessera"), QString(),
                              QStringLiteral("TS-0001"));
    ASSERT_TRUE(controller->saveAction());
    MainWindow window(controller.get());
    const QStringList texts = fileMenuTexts(window);
    for (const QAction* action :
         {child<QAction>(window, "printAction"), child<QAction>(window, "printAllAction"), window.syncAction()}) {
        EXPECT_TRUE(texts.contains(action->text())) << action->text().toStdString();
    }
    // Print needs a selected product; Print All and Sync do not.
    EXPECT_FALSE(child<QAction>(window, "printAction")->isEnabled());
    EXPECT_TRUE(child<QAction>(window, "printAllAction")->isEnabled());
    EXPECT_TRUE(window.syncAction()->isEnabled());
    EXPECT_NE(controller->printPanel(), nullptr);

    RecordingPrintPanel panel;
    controller->setPrintPanel(&panel);
    emit controller->productsChanged();
    window.selectFirstProduct(); // Keymoor's own record sorts first
    EXPECT_TRUE(child<QAction>(window, "printAction")->isEnabled());
    child<QAction>(window, "printAction")->trigger();
    ASSERT_EQ(panel.printed.size(), 1);
    EXPECT_TRUE(panel.shownPanel);
    EXPECT_FALSE(panel.printed.first().contains(QLatin1String("TS-0001")));
    child<QAction>(window, "printAllAction")->trigger();
    ASSERT_EQ(panel.printed.size(), 2);
    EXPECT_TRUE(panel.printed.last().contains(QLatin1String("TS-0001")));

    // With sync on but no folder chosen, the command fails with its alert.
    QSignalSpy panes(controller.get(), &KeymoorAppDelegate::preferencesPaneRequested);
    controller->userPrefs().setSyncOn(true);
    controller->userPrefs().setSyncDropFolderLocation(QString());
    window.syncAction()->trigger();
    EXPECT_TRUE(panes.isEmpty());
    ASSERT_EQ(ui.alerts().size(), 1);
    EXPECT_EQ(ui.alerts().first().title, QStringLiteral("Sync Failed"));
    controller->setPrintPanel(nullptr);
}

} // namespace
