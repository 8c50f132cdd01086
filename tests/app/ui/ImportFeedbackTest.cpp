#include "ui/ImportFeedback.h"

#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "import/ImportService.h"
#include "ui/ImportSheet.h"
#include "ui/MailLicenceCommands.h"
#include "ui/MainWindow.h"

#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Imports started from the window end with a status-bar message saying what they did.
class ImportFeedbackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_delegate = m_library.start(&m_ui);
        ASSERT_NE(m_delegate->managedObjectContext(), nullptr);
        m_window = std::make_unique<MainWindow>(m_delegate.get());
        m_window->show();
    }

    QString writeFile(const QString& name, const QByteArray& rows)
    {
        const QString path = m_scratch.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(rows);
        return path;
    }

    // Imports the file through the sheet (its first column as the titles) and answers the status
    // bar's message once it is done. `vanish` removes the file after it was chosen.
    QString importText(const QString& path, bool vanish = false)
    {
        m_controller.setImportTextFile(path);
        m_controller.setDestination(0, localizedString(QStringLiteral("ExportTitle")));
        if (vanish) {
            QFile::remove(path);
        }
        ImportSheet sheet(m_delegate.get(), &m_controller, {}, m_window.get());
        sheet.importAction();
        m_delegate->imports().text().waitForTextImports();
        return m_window->statusBar()->currentMessage();
    }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    std::unique_ptr<MainWindow> m_window;
    ZRImportSheetController m_controller;
    QTemporaryDir m_scratch;
};

TEST_F(ImportFeedbackTest, TextImportSaysWhatItAddedAndUpdated)
{
    UiTestLibrary::addProduct(m_delegate->managedObjectContext(), QStringLiteral("Beta"));
    m_delegate->saveAction();
    m_controller.setOverwriteData(true);
    EXPECT_EQ(importText(writeFile(QStringLiteral("rows.csv"), "Alpha\nBeta\nGamma\n")),
              QStringLiteral("Imported 2 products, updated 1."));
    // The counts stay in the tally for whoever sums the imports.
    const ImportCounts tally = m_delegate->imports().takeImportCounts();
    EXPECT_EQ(tally.added, 2);
    EXPECT_EQ(tally.updated, 1);

    m_controller.setOverwriteData(false);
    EXPECT_EQ(importText(writeFile(QStringLiteral("one.csv"), "Delta\n")), QStringLiteral("Imported 1 product."));
    m_ui.queuePresentErrorResult(true);
    EXPECT_EQ(importText(writeFile(QStringLiteral("gone.csv"), "Epsilon\n"), true),
              localizedString(QStringLiteral("StatusImportFailed")));
}

TEST_F(ImportFeedbackTest, MessagesCoverEveryOutcome)
{
    EXPECT_EQ(ImportFeedback::message({12, 3, 0}, false), QStringLiteral("Imported 12 products, updated 3."));
    EXPECT_EQ(ImportFeedback::message({0, 4, 0}, false), QStringLiteral("Imported 0 products, updated 4."));
    // A failure in one of several imports does not hide what the others did.
    EXPECT_EQ(ImportFeedback::message({5, 0, 1}, true), QStringLiteral("Imported 5 products."));
    EXPECT_EQ(ImportFeedback::message({0, 0, 1}, false), localizedString(QStringLiteral("StatusImportFailed")));

    EXPECT_EQ(MailLicenceCommands::addedMessage(2, true, 3), QStringLiteral("Added 2 products from mail."));
    EXPECT_EQ(MailLicenceCommands::addedMessage(0, true, 0), QStringLiteral("No licences found in the chosen mail."));
    EXPECT_EQ(MailLicenceCommands::addedMessage(0, true, 2),
              localizedString(QStringLiteral("StatusNothingAddedFromMail")));
    EXPECT_EQ(MailLicenceCommands::addedMessage(0, false, 0),
              localizedString(QStringLiteral("StatusNothingAddedFromMail")));
}

} // namespace
