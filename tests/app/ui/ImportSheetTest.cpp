#include "ui/ImportSheet.h"

#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "desktop/ApplicationLocator.h"
#include "support/TestData.h"
#include "support/WidgetLookup.h"
#include "ui/DelimitedExportSheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

class ImportSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_delegate = m_library.start(&m_ui);
        ASSERT_TRUE(m_delegate->managedObjectContext());
    }

    int productCount() const
    {
        const auto all
            = m_delegate->managedObjectContext()->execute(Persistence::FetchRequest(QStringLiteral("Product")));
        return all ? int(all->size()) : -1;
    }

    static int paneCount(const ImportSheet& sheet) { return int(sheet.findChild<QToolBar*>()->actions().size()); }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    ZRImportSheetController m_controller;
    QTemporaryDir m_scratch;
};

TEST_F(ImportSheetTest, ATextFileIsChosenMappedAndImported)
{
    const QString path = m_scratch.filePath(QStringLiteral("apps.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Title;Serial;Shop\nOrbit Clock;OC-1;Web\nPebble;PB-2;Box\n");
    file.close();

    ImportSheet sheet(m_delegate.get(), &m_controller, {}, nullptr);
    EXPECT_EQ(paneCount(sheet), 3); // no Yojimbo installed here
    EXPECT_FALSE(sheet.hasPane(ImportSheet::Pane::Yojimbo));
    EXPECT_FALSE(child<QPushButton>(sheet, "importButton")->isEnabled());

    m_ui.queueOpenPanelResult(QStringList {path});
    sheet.chooseTextFile();
    child<QComboBox>(sheet, "fieldDelimiterBox")->setCurrentText(QStringLiteral("Semicolon"));
    child<QCheckBox>(sheet, "headerRowBox")->setChecked(true);
    ASSERT_EQ(child<QTableWidget>(sheet, "previewTable")->rowCount(), 3);
    // One field chooser per column: those of earlier previews are gone, not left on screen.
    EXPECT_EQ(child<QTableWidget>(sheet, "previewTable")->findChildren<QComboBox*>().size(), 3);
    EXPECT_EQ(child<QTableWidget>(sheet, "previewTable")->item(0, 0)->text(), QStringLiteral("Orbit Clock"));
    // The header row named the title and the serial; the shop names no field.
    EXPECT_TRUE(child<QPushButton>(sheet, "importButton")->isEnabled());
    auto* title = qobject_cast<QComboBox*>(child<QTableWidget>(sheet, "previewTable")->cellWidget(0, 1));
    ASSERT_TRUE(title);
    title->setCurrentIndex(0);
    EXPECT_FALSE(child<QPushButton>(sheet, "importButton")->isEnabled());
    title->setCurrentIndex(1); // the title is the first field after "Don't Import"
    EXPECT_TRUE(child<QPushButton>(sheet, "importButton")->isEnabled());
    EXPECT_EQ(m_controller.importMapping(),
              (QStringList {QStringLiteral("title"), QStringLiteral("serialNumber"), QStringLiteral("Don't Import")}));

    const int before = productCount();
    sheet.importAction();
    // The import runs as a job under the progress sheet; the list learns of it when it ends.
    EXPECT_TRUE(m_ui.isProgressShown());
    m_delegate->imports().text().waitForTextImports();
    EXPECT_FALSE(m_ui.isProgressShown());
    EXPECT_EQ(productCount(), before + 2);
    EXPECT_EQ(sheet.result(), 1);

    // The choices stay for the next sheet.
    ImportSheet again(m_delegate.get(), &m_controller, {}, nullptr);
    EXPECT_EQ(child<QTableWidget>(again, "previewTable")->rowCount(), 3);
    EXPECT_EQ(child<QComboBox>(again, "fieldDelimiterBox")->currentText(), QStringLiteral("Semicolon"));
    EXPECT_TRUE(child<QCheckBox>(again, "headerRowBox")->isChecked());
}

TEST_F(ImportSheetTest, ColumnsMapThemselvesFromTheHeaderAndKeepTheirFieldsWhenTheQuoteChanges)
{
    const QString path = m_scratch.filePath(QStringLiteral("shop.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"Product Name\",\"Shop\",\"Serial\"\n\"Orbit, Clock\",Web,OC-1\n");
    file.close();
    ImportSheet sheet(m_delegate.get(), &m_controller, {}, nullptr);
    m_ui.queueOpenPanelResult(QStringList {path});
    sheet.chooseTextFile();
    child<QComboBox>(sheet, "quoteBox")->setCurrentIndex(1); // "Double Quote"
    child<QCheckBox>(sheet, "headerRowBox")->setChecked(true);

    auto* preview = child<QTableWidget>(sheet, "previewTable");
    const auto fieldIn = [preview](int row) {
        auto* box = qobject_cast<QComboBox*>(preview->cellWidget(row, 1));
        return box ? box->currentText() : QStringLiteral("(none)");
    };
    ASSERT_EQ(preview->rowCount(), 3);
    EXPECT_EQ(preview->verticalHeaderItem(2)->text(), QStringLiteral("Serial"));
    EXPECT_EQ(fieldIn(0), localizedString(QStringLiteral("ExportTitle")));
    EXPECT_EQ(fieldIn(1), ProductEntity::DontImportKey);
    EXPECT_EQ(fieldIn(2), localizedString(QStringLiteral("ExportSerialNumber")));
    EXPECT_TRUE(child<QPushButton>(sheet, "importButton")->isEnabled());

    qobject_cast<QComboBox*>(preview->cellWidget(1, 1))->setCurrentText(localizedString(QStringLiteral("ExportNotes")));
    // Without the quote the title splits in two, yet every named column keeps its field.
    child<QComboBox>(sheet, "quoteBox")->setCurrentIndex(0);
    ASSERT_EQ(preview->rowCount(), 4);
    EXPECT_EQ(fieldIn(0), localizedString(QStringLiteral("ExportTitle")));
    EXPECT_EQ(fieldIn(1), localizedString(QStringLiteral("ExportNotes")));
    EXPECT_EQ(fieldIn(2), localizedString(QStringLiteral("ExportSerialNumber")));
    EXPECT_EQ(fieldIn(3), ProductEntity::DontImportKey);
    child<QComboBox>(sheet, "quoteBox")->setCurrentIndex(1);
    EXPECT_EQ(fieldIn(1), localizedString(QStringLiteral("ExportNotes")));
    EXPECT_EQ(
        m_controller.importMapping(),
        (QStringList {QStringLiteral("title"), QStringLiteral("commentsString"), QStringLiteral("serialNumber")}));
}

TEST_F(ImportSheetTest, TheWrittenByBoxOffersARealChoiceFromTheStart)
{
    ImportSheet sheet(m_delegate.get(), &m_controller, {}, nullptr);
    sheet.setActivePane(ImportSheet::Pane::XML);
    auto* writtenBy = child<QComboBox>(sheet, "templateBox");
    EXPECT_TRUE(writtenBy->isEnabled());
    EXPECT_EQ(writtenBy->currentIndex(), 0);
    EXPECT_EQ(m_controller.selectedXMLTemplate(), writtenBy->currentText());
    EXPECT_FALSE(child<QPushButton>(sheet, "importButton")->isEnabled()); // no file yet

    // A file of the AppShelf kind chooses its writer itself; the Import button is then ready.
    m_ui.queueOpenPanelResult(QStringList {testDataPath("/import/shelf.appshelf")});
    sheet.chooseXMLFile();
    EXPECT_EQ(m_controller.selectedXMLTemplate(), QStringLiteral("AppShelf"));
    EXPECT_TRUE(child<QPushButton>(sheet, "importButton")->isEnabled());
    writtenBy->setCurrentIndex(2);
    EXPECT_EQ(m_controller.selectedXMLTemplate(), ZRImportSheetController::xmlTemplates().at(2));
}

TEST_F(ImportSheetTest, TheExportSheetCannotShrinkBelowWhatItsFieldsAndLabelsNeed)
{
    DelimitedExportSheet sheet(m_delegate->dataMigrator(), nullptr);
    sheet.show();
    sheet.resize(50, 50);
    QApplication::processEvents();
    EXPECT_GE(sheet.width(), sheet.minimumSizeHint().width());
    EXPECT_GE(sheet.height(), sheet.minimumSizeHint().height());
    auto* list = child<QListWidget>(sheet, "fieldList");
    // At its smallest the list still shows several fields, and no label or button is cut short.
    EXPECT_GE(list->viewport()->height(), 5 * list->sizeHintForRow(0));
    for (const QWidget* widget : sheet.findChildren<QWidget*>()) {
        if (qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLabel*>(widget)) {
            const bool wraps = qobject_cast<const QLabel*>(widget) && qobject_cast<const QLabel*>(widget)->wordWrap();
            EXPECT_GE(widget->width(), wraps ? widget->minimumSizeHint().width() : widget->sizeHint().width())
                << widget->metaObject()->className() << " " << widget->objectName().toStdString();
        }
    }
    // The field list takes what the sheet grows by.
    const int smallest = list->height();
    const int narrowest = list->width();
    sheet.resize(sheet.width() + 100, sheet.height() + 200);
    QApplication::processEvents();
    EXPECT_EQ(list->height(), smallest + 200);
    EXPECT_EQ(list->width(), narrowest + 100);
}

TEST_F(ImportSheetTest, TheYojimboKindIsOfferedWhenYojimboIsInstalled)
{
    QDir(m_scratch.path()).mkpath(QStringLiteral("Yojimbo.app/Contents"));
    qputenv(ApplicationLocator::PathVariable, QFile::encodeName(m_scratch.path()));
    ImportSheet sheet(m_delegate.get(), &m_controller, {}, nullptr);
    qunsetenv(ApplicationLocator::PathVariable);
    EXPECT_EQ(paneCount(sheet), 4);
    sheet.setActivePane(ImportSheet::Pane::Yojimbo);
    EXPECT_EQ(sheet.activePane(), ImportSheet::Pane::Yojimbo);
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Yojimbo Import"));
}

} // namespace
