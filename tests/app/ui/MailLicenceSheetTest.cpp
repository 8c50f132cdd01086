#include "ui/MailLicenceSheet.h"

#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "import/MailScriptHelper.h"
#include "library/BackgroundJobTracker.h"
#include "persistence/FetchRequest.h"
#include "persistence/UndoManager.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"
#include "support/TestData.h"
#include "support/WidgetLookup.h"
#include "ui/MailLicenceCommands.h"
#include "ui/MailProposalTable.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesController.h"
#include "ui/PreferencesPane.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Purchases = testDataPath("/ui/mail/purchases.mbox");
const QString NotesSerial = QStringLiteral("NWN-4821-7730-QK19");
const QString PhotoSerial = QStringLiteral("BPS-1111-2222-3333");

int rowOfSerial(const MailProposalTable& table, const QString& serial)
{
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.item(row, MailProposalTable::SerialColumn)->text() == serial) {
            return row;
        }
    }
    return -1;
}

} // namespace

class MailLicenceSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_delegate = m_library.start(&m_ui);
        m_window = std::make_unique<MainWindow>(m_delegate.get());
        m_window->mailLicenceCommands()->setDefaultMailProgramId(QStringLiteral("none.desktop"));
        // The catalogue already has the notes program with the serial from its purchase mail.
        UiTestLibrary::addProduct(m_delegate->managedObjectContext(), QStringLiteral("Northwind Notes"), QString(),
                                  NotesSerial);
        ASSERT_TRUE(m_delegate->saveAction());
    }

    MailLicenceSheet* scannedSheet()
    {
        MailLicenceSheet* sheet = m_window->mailLicenceCommands()->showSheet({Purchases});
        EXPECT_NE(sheet, nullptr);
        if (sheet) {
            child<QPushButton>(*sheet, "mailScanButton")->click();
            m_delegate->jobs().waitFor(QString::fromLatin1(MailLicenceSheet::ScanJobName));
        }
        return sheet;
    }

    int productCount()
    {
        const auto products
            = m_delegate->managedObjectContext()->execute(Persistence::FetchRequest(QStringLiteral("Product")));
        return products ? int(products->size()) : -1;
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(MailLicenceSheetTest, ScanListsPurchasesWithThoseInTheCatalogueUnticked)
{
    MailLicenceSheet* sheet = scannedSheet();
    ASSERT_NE(sheet, nullptr);
    const MailProposalTable& table = *sheet->table();
    ASSERT_EQ(table.rowCount(), 2) << "the message without a serial proposes nothing";
    const int notes = rowOfSerial(table, NotesSerial);
    const int photo = rowOfSerial(table, PhotoSerial);
    ASSERT_GE(notes, 0);
    ASSERT_GE(photo, 0);
    EXPECT_EQ(table.item(notes, MailProposalTable::TitleColumn)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(table.item(notes, MailProposalTable::TitleColumn)->flags() & Qt::ItemIsUserCheckable);
    EXPECT_EQ(table.item(notes, MailProposalTable::NoteColumn)->text(),
              localizedString(QStringLiteral("MailFinderInCatalogueNote")));
    EXPECT_EQ(table.item(photo, MailProposalTable::TitleColumn)->checkState(), Qt::Checked);
    EXPECT_EQ(table.item(photo, MailProposalTable::EmailColumn)->text(), QStringLiteral("jane.appleseed@example.com"));
    EXPECT_TRUE(child<QPushButton>(*sheet, "mailAddButton")->isEnabled());
    EXPECT_TRUE(child<QLabel>(*sheet, "mailScanStatus")->text().startsWith(QStringLiteral("3 ")));
}

TEST_F(MailLicenceSheetTest, AddTakesTheEditedTitleAndSelectsTheNewProduct)
{
    MailLicenceSheet* sheet = scannedSheet();
    ASSERT_NE(sheet, nullptr);
    const int photo = rowOfSerial(*sheet->table(), PhotoSerial);
    ASSERT_GE(photo, 0);
    sheet->table()->item(photo, MailProposalTable::TitleColumn)->setText(QStringLiteral("  Photo Studio Pro "));
    const int before = productCount();
    child<QPushButton>(*sheet, "mailAddButton")->click();
    EXPECT_TRUE(m_ui.alerts().isEmpty());
    EXPECT_EQ(productCount(), before + 1);
    const QList<ProductEntity*> selected = m_window->selectedProducts();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first()->title(), QStringLiteral("Photo Studio Pro"));
    EXPECT_EQ(selected.first()->serialNumber(), PhotoSerial);
    EXPECT_FALSE(m_delegate->managedObjectContext()->hasChanges()) << "added in one saved change";

    // Unticking everything leaves nothing to add.
    sheet = scannedSheet();
    for (int row = 0; row < sheet->table()->rowCount(); ++row) {
        sheet->table()->item(row, MailProposalTable::TitleColumn)->setCheckState(Qt::Unchecked);
    }
    EXPECT_FALSE(child<QPushButton>(*sheet, "mailAddButton")->isEnabled());
}

TEST_F(MailLicenceSheetTest, ACancelledScanShowsAndAddsNothing)
{
    MailLicenceSheet* sheet = m_window->mailLicenceCommands()->showSheet({Purchases});
    ASSERT_NE(sheet, nullptr);
    sheet->startScan();
    EXPECT_TRUE(sheet->isScanning());
    EXPECT_FALSE(child<QPushButton>(*sheet, "mailScanButton")->isEnabled());
    child<QPushButton>(*sheet, "mailCancelScanButton")->click();
    const int before = productCount();
    m_delegate->jobs().waitFor(QString::fromLatin1(MailLicenceSheet::ScanJobName));
    EXPECT_FALSE(sheet->isScanning());
    EXPECT_EQ(sheet->table()->rowCount(), 0);
    EXPECT_FALSE(child<QPushButton>(*sheet, "mailAddButton")->isEnabled());
    EXPECT_EQ(child<QLabel>(*sheet, "mailScanStatus")->text(),
              localizedString(QStringLiteral("MailFinderCancelledStatus")));
    EXPECT_EQ(productCount(), before);
}

TEST_F(MailLicenceSheetTest, TheFileMenuAndTheChosenMboxSourceStayForNextTime)
{
    QAction* find = m_window->findChild<QAction*>(QStringLiteral("findLicencesInMail"));
    ASSERT_NE(find, nullptr);
    find->trigger();
    MailLicenceSheet* sheet = m_window->mailLicenceCommands()->sheet();
    ASSERT_NE(sheet, nullptr);
    auto* source = child<QComboBox>(*sheet, "mailSourceChoice");
    source->setCurrentIndex(source->findData(QStringLiteral("Mbox")));
    EXPECT_TRUE(sheet->sourcePaths().isEmpty());
    EXPECT_FALSE(child<QPushButton>(*sheet, "mailScanButton")->isEnabled());
    m_ui.queueOpenPanelResult(QStringList {Purchases});
    child<QPushButton>(*sheet, "mailSourceChooseButton")->click();
    EXPECT_EQ(sheet->sourcePaths(), QStringList {Purchases});
    EXPECT_TRUE(child<QPushButton>(*sheet, "mailScanButton")->isEnabled());

    // A new sheet starts with the stored choice.
    find->trigger();
    EXPECT_EQ(m_window->mailLicenceCommands()->sheet()->sourcePaths(), QStringList {Purchases});
    EXPECT_EQ(m_delegate->userPrefs().mailSource(), QStringLiteral("Mbox"));
}

// The mail-program helpers of the other platform are offered once the person installed one.
TEST_F(MailLicenceSheetTest, HelperChoicesShowOnlyWithAnInstalledHelper)
{
    PreferencesController controller(*m_delegate);
    controller.window();
    PreferencesPane* advanced = controller.pane(QStringLiteral("Advanced"));
    ASSERT_NE(advanced, nullptr);
    auto* outlook = advanced->findChild<QCheckBox*>(QString(PreferenceKeys::EnableMicrosoftOutlook));
    auto* appleMail = advanced->findChild<QCheckBox*>(QString(PreferenceKeys::EnableAppleMail));
    ASSERT_TRUE(outlook && appleMail);
    ASSERT_NE(advanced->findChild<QComboBox*>(QString(PreferenceKeys::MailSource)), nullptr);

    QTemporaryDir helpers;
    MailScriptHelper::sharedHelper().setSearchFolders({helpers.path(), testDataPath("/ui/mail")});
    advanced->load();
    EXPECT_TRUE(outlook->isHidden());
    EXPECT_TRUE(appleMail->isHidden());

    QFile helper(helpers.filePath(QStringLiteral("OutlookHelper")));
    ASSERT_TRUE(helper.open(QIODevice::WriteOnly));
    helper.write("#!/bin/sh\nexit 0\n");
    helper.close();
    helper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    advanced->load();
    EXPECT_FALSE(outlook->isHidden());
    EXPECT_TRUE(appleMail->isHidden());
    MailScriptHelper::sharedHelper().setSearchFolders({});
}

// The window says what came of the sheet, and the products it added go in one named undo step.
TEST_F(MailLicenceSheetTest, ClosingTheSheetSaysWhatItAdded)
{
    MailLicenceSheet* sheet = scannedSheet();
    ASSERT_NE(sheet, nullptr);
    sheet->reject();
    EXPECT_EQ(m_window->statusBar()->currentMessage(), localizedString(QStringLiteral("StatusNothingAddedFromMail")));

    sheet = scannedSheet();
    child<QPushButton>(*sheet, "mailAddButton")->click();
    EXPECT_EQ(m_window->statusBar()->currentMessage(), QStringLiteral("Added 1 product from mail."));
    EXPECT_EQ(m_delegate->managedObjectContext()->undoManager()->undoActionName(), QStringLiteral("Import 1 Product"));
    const int before = productCount();
    m_window->undo();
    EXPECT_EQ(productCount(), before - 1);
}
