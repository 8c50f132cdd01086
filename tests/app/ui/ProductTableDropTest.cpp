#include "UiTestLibrary.h"
#include "support/TemporaryHome.h"
#include "support/TestData.h"
#include "support/WidgetLookup.h"
#include "ui/ImportApplicationMenu.h"
#include "ui/MainWindow.h"
#include "ui/ProductListModel.h"
#include "ui/ProductTableView.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Fixtures = testDataPath("/bundles/");
const QString SampleApp = testDataPath("/record/Sample.app");

std::unique_ptr<QMimeData> filesData(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

class ProductTableDropTest : public ::testing::Test
{
protected:
    // Drags the files over the products list and drops them there, as the desktop delivers it;
    // answers whether the list took the drop.
    static bool dragAndDrop(MainWindow& window, const QStringList& paths)
    {
        const std::unique_ptr<QMimeData> data = filesData(paths);
        QWidget* viewport = child<ProductTableView>(window, "productsTable")->viewport();
        const QPoint point = viewport->rect().center();
        QDragEnterEvent enter(point, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(point, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        return drop.isAccepted();
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
};

TEST_F(ProductTableDropTest, TheFirstDroppedPathDecides)
{
    struct Case
    {
        QStringList paths;
        bool accepted;
    };
    const Case cases[] = {
        {{SampleApp}, true},
        {{Fixtures + QStringLiteral("yojimbo-export.txt")}, true},
        {{Fixtures + QStringLiteral("products.keymoor")}, true},
        {{Fixtures + QStringLiteral("Products.APPSHELF")}, true},
        {{SampleApp, Fixtures + QStringLiteral("plain-text-notes.txt")}, true},
        {{Fixtures + QStringLiteral("plain-text-notes.txt"), SampleApp}, false},
        {{Fixtures + QStringLiteral("Library.kmlib")}, false},
        {{}, false},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(ProductTableView::acceptsDrop(filesData(test.paths).get()), test.accepted)
            << test.paths.join(QLatin1Char(',')).toStdString();
    }
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.net/Sample.app"))});
    EXPECT_FALSE(ProductTableView::acceptsDrop(&remote));
    QMimeData text;
    text.setText(SampleApp);
    EXPECT_FALSE(ProductTableView::acceptsDrop(&text));
}

TEST_F(ProductTableDropTest, ADroppedBundleBecomesTheSelectedProduct)
{
    auto controller = m_library.start(&m_ui);
    MainWindow window(controller.get());
    window.show();
    const qsizetype rowsBefore = window.productListModel()->products().size();
    // A search that would hide the new product gives way to it.
    window.searchField()->setText(QStringLiteral("no such product"));

    ASSERT_TRUE(dragAndDrop(window, {SampleApp}));
    controller->waitForProductImports();

    EXPECT_TRUE(window.searchField()->text().isEmpty());
    ASSERT_EQ(window.selectedProducts().size(), 1);
    EXPECT_EQ(window.selectedProducts().first()->title(), QStringLiteral("Sample"));
    EXPECT_EQ(window.productListModel()->products().size(), rowsBefore + 1);
}

TEST_F(ProductTableDropTest, ATextFileThatIsNoExportIsRefused)
{
    auto controller = m_library.start(&m_ui);
    MainWindow window(controller.get());
    window.show();
    const qsizetype rowsBefore = window.productListModel()->products().size();
    EXPECT_FALSE(dragAndDrop(window, {Fixtures + QStringLiteral("plain-text-notes.txt")}));
    EXPECT_EQ(controller->runningProductImports(), 0);
    QApplication::processEvents();
    EXPECT_EQ(window.productListModel()->products().size(), rowsBefore);
}

TEST_F(ProductTableDropTest, TheImportMenuAsksForApplications)
{
    // The bundle commands are offered where folders of such bundles exist.
    const TemporaryHome home;
    for (const char* folder : {"Library/PreferencePanes", "Library/Internet Plug-Ins", "Library/Widgets"}) {
        ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(folder)));
    }
    auto controller = m_library.start(&m_ui);
    MainWindow window(controller.get());
    window.show();
    ImportApplicationMenu* menu = window.importApplicationMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->importApplicationAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    const QList<QAction*> actions {menu->importApplicationAction(), menu->importPreferencePaneAction(),
                                   menu->importPluginAction(), menu->importWidgetAction()};
    for (QAction* action : actions) {
        EXPECT_TRUE(action->isEnabled());
        EXPECT_TRUE(action->text().endsWith(QStringLiteral("…")));
    }

    m_ui.queueOpenPanelResult(QStringList {Fixtures + QStringLiteral("Clock.wdgt")});
    menu->importWidgetAction()->trigger();
    controller->waitForProductImports();
    ASSERT_EQ(window.selectedProducts().size(), 1);
    EXPECT_EQ(window.selectedProducts().first()->title(), QStringLiteral("Clock"));
}

} // namespace
