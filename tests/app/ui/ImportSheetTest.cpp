#include "ui/ImportSheet.h"

#include "UiTestLibrary.h"
#include "desktop/ApplicationLocator.h"
#include "support/WidgetLookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
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
    EXPECT_FALSE(child<QPushButton>(sheet, "importButton")->isEnabled());

    auto* title = qobject_cast<QComboBox*>(child<QTableWidget>(sheet, "previewTable")->cellWidget(0, 1));
    auto* serial = qobject_cast<QComboBox*>(child<QTableWidget>(sheet, "previewTable")->cellWidget(1, 1));
    ASSERT_TRUE(title && serial);
    title->setCurrentIndex(1); // the title is the first field after "Don't Import"
    serial->setCurrentIndex(3);
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
