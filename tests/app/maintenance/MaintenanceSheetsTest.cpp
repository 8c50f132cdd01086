#include "MaintenanceTestLibrary.h"
#include "support/WidgetLookup.h"
#include "ui/DelimitedExportSheet.h"
#include "ui/MaintenanceMenu.h"
#include "ui/MigrationProgressSheet.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>

using Counter = MigrationProgress::Counter;

class MaintenanceSheetsTest : public MaintenanceTestLibrary
{
};

TEST_F(MaintenanceSheetsTest, TheProgressSheetCountsAndRevealsFailuresOnlyWhenTheyHappen)
{
    QWidget window;
    MigrationProgressSheet sheet(&window);
    sheet.show(QStringLiteral("Exporting"));
    EXPECT_EQ(child<QProgressBar>(sheet, "progressBar")->maximum(), 0); // indeterminate until a maximum is known
    EXPECT_FALSE(sheet.isCounterVisible(Counter::FailedAttachments));
    sheet.resetBar(0);
    EXPECT_EQ(child<QProgressBar>(sheet, "progressBar")->maximum(), 50);
    sheet.resetBar(2);
    sheet.stepBar();
    EXPECT_EQ(child<QProgressBar>(sheet, "progressBar")->value(), 1);
    sheet.stepBar();
    EXPECT_EQ(child<QProgressBar>(sheet, "progressBar")->maximum(), 0); // at the maximum it turns indeterminate again
    sheet.setCounter(Counter::Products, 3);
    sheet.setCounter(Counter::FailedAttachments, 1);
    EXPECT_EQ(sheet.counterValue(Counter::Products), 3);
    EXPECT_TRUE(sheet.isCounterVisible(Counter::FailedAttachments));
    EXPECT_FALSE(sheet.isCounterVisible(Counter::FailedProducts));
    sheet.resetCounters();
    EXPECT_EQ(sheet.counterValue(Counter::Products), 0);
    EXPECT_FALSE(sheet.isCounterVisible(Counter::FailedAttachments));
    sheet.reject();
    EXPECT_TRUE(sheet.isVisible()); // Escape does not hide it while the work runs
    sheet.hide();
    EXPECT_FALSE(sheet.isVisible());
}

TEST_F(MaintenanceSheetsTest, TheOptionsSheetWritesItsChoicesOnlyWhenConfirmed)
{
    start();
    ZRDataMigrator& data = migrator();
    {
        DelimitedExportSheet sheet(&data, nullptr);
        ASSERT_EQ(child<QListWidget>(sheet, "fieldList")->count(), 22);
        EXPECT_TRUE(child<QRadioButton>(sheet, "commaButton")->isChecked());
        child<QListWidget>(sheet, "fieldList")->item(0)->setCheckState(Qt::Unchecked);
        child<QRadioButton>(sheet, "customButton")->setChecked(true);
        child<QLineEdit>(sheet, "customDelimiterField")->setText(QStringLiteral("::"));
        child<QCheckBox>(sheet, "headerBox")->setChecked(true);
        sheet.reject();
    }
    EXPECT_EQ(data.delimiter(), QStringLiteral(","));
    EXPECT_TRUE(data.exportFields().first().active);
    {
        DelimitedExportSheet sheet(&data, nullptr);
        QListWidgetItem* moved = child<QListWidget>(sheet, "fieldList")->takeItem(2); // the serial number first
        child<QListWidget>(sheet, "fieldList")->insertItem(0, moved);
        child<QListWidget>(sheet, "fieldList")->item(1)->setCheckState(Qt::Unchecked);
        child<QRadioButton>(sheet, "customButton")->setChecked(true);
        child<QLineEdit>(sheet, "customDelimiterField")->setText(QStringLiteral("::"));
        child<QCheckBox>(sheet, "headerBox")->setChecked(true);
        sheet.applyToMigrator();
    }
    EXPECT_EQ(data.delimiter(), QStringLiteral("::"));
    EXPECT_TRUE(data.includeHeadersInTextExport());
    EXPECT_EQ(data.exportFields().first().keyPath, QStringLiteral("serialNumber"));
    EXPECT_FALSE(data.exportFields().at(1).active);
}

TEST_F(MaintenanceSheetsTest, TheMenuExportsOnAThreadOfItsOwnUnderTheSheet)
{
    start();
    fillLibrary();
    QWidget window;
    MaintenanceMenu menu(m_delegate.get(), &window);
    m_ui.queueSavePanelResult(m_scratch.filePath(QStringLiteral("menu.txt")));
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&menu, &MaintenanceMenu::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    menu.exportToDelimitedText();
    EXPECT_TRUE(menu.isRunning());
    loop.exec();
    ASSERT_TRUE(finished);
    const QByteArray text = readAll(m_scratch.filePath(QStringLiteral("menu.txt")));
    EXPECT_EQ(text.count('\n'), 4); // three products, one of them with a two-line serial number
    EXPECT_EQ(child<MigrationProgressSheet>(window, "migrationProgressSheet")->counterValue(Counter::Products), 3);
    EXPECT_FALSE(m_ui.savePanels().first().confirmOverwrite);
}
