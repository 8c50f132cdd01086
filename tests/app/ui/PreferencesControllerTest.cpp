#include "ui/PreferencesController.h"

#include "../../platform/desktop/RecordingLauncher.h"
#include "../../support/TemporaryHome.h"
#include "UiTestLibrary.h"
#include "base/Localization.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"
#include "ui/PreferencesPane.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>
#include <limits>

namespace {

class PreferencesControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_delegate = m_library.start(&m_ui);
        m_controller = std::make_unique<PreferencesController>(*m_delegate);
        // No dialog ever opens: the test answers with the next queued folder and records the question.
        m_controller->setFolderChooser([this](const OpenPanelOptions& options) -> std::optional<QString> {
            m_panels.append(options);
            return m_nextFolders.isEmpty() ? std::nullopt : m_nextFolders.takeFirst();
        });
    }

    template<typename Widget>
    Widget* control(const QString& pane, const QString& name)
    {
        m_controller->window();
        PreferencesPane* shown = m_controller->pane(pane);
        EXPECT_NE(shown, nullptr) << pane.toStdString();
        return shown ? shown->findChild<Widget*>(name) : nullptr;
    }

    QString checkedItem() const
    {
        for (const QString& identifier : PreferencesController::paneIdentifiers()) {
            if (m_controller->toolbarItem(identifier)->isChecked()) {
                return identifier;
            }
        }
        return {};
    }

    TemporaryHome m_home;
    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    std::unique_ptr<KeymoorAppDelegate> m_delegate;
    std::unique_ptr<PreferencesController> m_controller;
    QList<std::optional<QString>> m_nextFolders;
    QList<OpenPanelOptions> m_panels;
};

TEST_F(PreferencesControllerTest, ToolbarItemsAndIdentifiersSetPaneAndTitleByTheirOwnRules)
{
    QMainWindow* window = m_controller->window();
    EXPECT_EQ(window->windowTitle(), localizedString(QStringLiteral("PreferencesGeneralTab")));
    EXPECT_EQ(m_controller->activePane()->identifier(), QStringLiteral("General"));
    EXPECT_EQ(checkedItem(), QStringLiteral("General"));

    // A toolbar item: its pane, its label as the title, and it becomes the checked item.
    m_controller->toolbarItem(QStringLiteral("Sync Update"))->trigger();
    EXPECT_EQ(m_controller->activePane()->identifier(), QStringLiteral("Sync Update"));
    EXPECT_EQ(window->windowTitle(), localizedString(QStringLiteral("PreferencesSyncTab")));
    EXPECT_EQ(checkedItem(), QStringLiteral("Sync Update"));

    // By identifier (as Sync to Phone opens the Sync pane): the same pane, title and highlight.
    m_controller->setActiveViewByIdentifier(QStringLiteral("Advanced"));
    EXPECT_EQ(m_controller->activePane()->identifier(), QStringLiteral("Advanced"));
    EXPECT_EQ(window->windowTitle(), localizedString(QStringLiteral("PreferencesAdvancedTab")));
    EXPECT_EQ(checkedItem(), QStringLiteral("Advanced"));

    // An identifier of no pane changes the title only.
    m_controller->setActiveViewByIdentifier(QStringLiteral("Plug-ins"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Plug-ins"));
    EXPECT_EQ(m_controller->activePane()->identifier(), QStringLiteral("Advanced"));
    EXPECT_TRUE(m_controller->activePane()->isVisibleTo(window));
    EXPECT_FALSE(m_controller->pane(QStringLiteral("Sync Update"))->isVisibleTo(window));
}

TEST_F(PreferencesControllerTest, WindowKeepsOneSizeAndClosesByButtonEscapeAndCloseKeys)
{
    m_controller->showWindow();
    QMainWindow* window = m_controller->window();
    ASSERT_TRUE(window->isVisible());
    window->move(40, 50);
    const QPoint topLeft = window->pos();
    const QSize general = window->size();

    for (const char* identifier : {"Email Scanner", "Sync Update", "Advanced", "Auto Fill"}) {
        m_controller->setActiveViewByIdentifier(QString::fromLatin1(identifier));
        EXPECT_EQ(window->pos(), topLeft) << identifier;
        EXPECT_EQ(window->size(), general) << identifier << ": the window does not jump between panes";
        EXPECT_GE(window->height(), m_controller->activePane()->sizeHint().height()) << identifier;
    }

    auto* buttons = window->findChild<QDialogButtonBox*>(QStringLiteral("preferencesButtons"));
    ASSERT_NE(buttons, nullptr);
    buttons->button(QDialogButtonBox::Close)->click();
    EXPECT_FALSE(window->isVisible());
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        m_controller->showWindow();
        ASSERT_TRUE(window->isVisible());
        QApplication::setActiveWindow(window);
        QTest::keySequence(window, keys);
        EXPECT_FALSE(window->isVisible()) << keys.toString().toStdString();
    }
}

TEST_F(PreferencesControllerTest, AttachmentSortChoiceStoresALowerCaseAscendingOrderAndRefusesOthers)
{
    UserDefaults& defaults = m_library.defaults();
    EXPECT_EQ(PreferencesController::availableAttachmentSortKeys(), QStringList({"Name", "Date"}));
    EXPECT_EQ(m_controller->attachmentSortKey(), QStringLiteral("Name"));

    m_delegate->userPrefs().setAttachmentSortDescriptorsArray({SortOrderEntry {QStringLiteral("name"), false}});
    QSignalSpy changes(m_controller.get(), &PreferencesController::preferenceChanged);
    ASSERT_TRUE(m_controller->setAttachmentSortKey(QStringLiteral("Date")));
    EXPECT_EQ(defaults.stringValue(PreferenceKeys::AttachmentSortKey), QStringLiteral("date"));
    EXPECT_TRUE(defaults.boolValue(PreferenceKeys::AttachmentSortAscending));
    EXPECT_EQ(m_controller->attachmentSortKey(), QStringLiteral("Date"));
    EXPECT_EQ(changes.size(), 1);

    QString error;
    EXPECT_FALSE(m_controller->setAttachmentSortKey(QStringLiteral("Size"), &error));
    EXPECT_FALSE(m_controller->setAttachmentSortKey(QString(), &error));
    EXPECT_TRUE(error.contains(QLatin1String("sorted")));
    EXPECT_EQ(defaults.stringValue(PreferenceKeys::AttachmentSortKey), QStringLiteral("date"));
    EXPECT_EQ(changes.size(), 1);

    // The pane's list shows the stored choice and stores a new one.
    auto* choice = control<QComboBox>(QStringLiteral("General"), PreferenceKeys::AttachmentSortKey);
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->currentText(), QStringLiteral("Date"));
    QTest::keyClick(choice, Qt::Key_Up);
    EXPECT_EQ(defaults.stringValue(PreferenceKeys::AttachmentSortKey), QStringLiteral("name"));
}

TEST_F(PreferencesControllerTest, BoxesWriteTheirKeyAtOnceAndShowTheStoredValueWhenShownAgain)
{
    UserDefaults& defaults = m_library.defaults();
    auto* copySerial = control<QCheckBox>(QStringLiteral("Email Scanner"), PreferenceKeys::AutoCopySerial);
    auto* scan = control<QCheckBox>(QStringLiteral("Email Scanner"), PreferenceKeys::ScanEmailUponImport);
    ASSERT_TRUE(copySerial && scan);
    m_controller->setActiveViewByIdentifier(QStringLiteral("Email Scanner"));
    EXPECT_FALSE(copySerial->isChecked());
    copySerial->click();
    EXPECT_TRUE(defaults.hasUserValue(PreferenceKeys::AutoCopySerial));
    EXPECT_TRUE(defaults.boolValue(PreferenceKeys::AutoCopySerial));

    // Changed elsewhere while another pane is shown: the pane reads it when shown again, and
    // reading it writes nothing back.
    m_controller->setActiveViewByIdentifier(QStringLiteral("General"));
    m_delegate->userPrefs().setAutoCopySerial(false);
    ASSERT_TRUE(scan->isChecked());
    m_controller->setActiveViewByIdentifier(QStringLiteral("Email Scanner"));
    EXPECT_FALSE(copySerial->isChecked());
    EXPECT_FALSE(defaults.hasUserValue(PreferenceKeys::ScanEmailUponImport));

    // The two mail programs can only be chosen while the default one is not detected.
    auto* detect = control<QCheckBox>(QStringLiteral("Advanced"), PreferenceKeys::AutoDetectEmailReader);
    auto* outlook = control<QCheckBox>(QStringLiteral("Advanced"), PreferenceKeys::EnableMicrosoftOutlook);
    ASSERT_TRUE(detect && outlook);
    m_controller->setActiveViewByIdentifier(QStringLiteral("Advanced"));
    EXPECT_FALSE(outlook->isEnabled());
    detect->click();
    EXPECT_FALSE(defaults.boolValue(PreferenceKeys::AutoDetectEmailReader));
    EXPECT_TRUE(outlook->isEnabled());
}

TEST_F(PreferencesControllerTest, SyncFolderIsChosenAsOneFolderFromDropboxAndStoredResolved)
{
    const QString dropbox = QDir(m_home.path()).filePath(QStringLiteral("Dropbox"));
    ASSERT_TRUE(QDir().mkpath(dropbox + QStringLiteral("/Sync")));
    const QString link = QDir(m_home.path()).filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(dropbox + QStringLiteral("/Sync"), link));
    auto* field = control<QLineEdit>(QStringLiteral("Sync Update"), PreferenceKeys::SyncDropFolderLocation);
    auto* choose = control<QPushButton>(QStringLiteral("Sync Update"),
                                        PreferenceKeys::SyncDropFolderLocation + QStringLiteral(" Choose"));
    ASSERT_TRUE(field && choose);
    m_controller->setActiveViewByIdentifier(QStringLiteral("Sync Update"));

    // Cancelled: nothing is stored.
    m_nextFolders = {std::nullopt, link};
    choose->click();
    EXPECT_FALSE(m_library.defaults().hasUserValue(PreferenceKeys::SyncDropFolderLocation));
    ASSERT_EQ(m_panels.size(), 1);
    const OpenPanelOptions& panel = m_panels.first();
    EXPECT_EQ(panel.startFolder, dropbox);
    EXPECT_TRUE(panel.chooseFolders);
    EXPECT_FALSE(panel.chooseFiles);
    EXPECT_FALSE(panel.allowsMultipleSelection);

    choose->click();
    const QString stored = m_delegate->userPrefs().syncDropFolderLocation();
    EXPECT_EQ(stored, QFileInfo(dropbox + QStringLiteral("/Sync")).canonicalFilePath());
    EXPECT_EQ(field->text(), stored);
}

TEST_F(PreferencesControllerTest, FolderPreferencesShowTheStoredTextAndStartInTheExpandedFolder)
{
    ASSERT_TRUE(QDir(m_home.path()).mkdir(QStringLiteral("Desktop")));
    const QString chosen = QDir(m_home.path()).filePath(QStringLiteral("Exports"));
    auto* field = control<QLineEdit>(QStringLiteral("General"), PreferenceKeys::ExportCSVPath);
    auto* choose
        = control<QPushButton>(QStringLiteral("General"), PreferenceKeys::ExportCSVPath + QStringLiteral(" Choose"));
    ASSERT_TRUE(field && choose);
    EXPECT_EQ(field->text(), QStringLiteral("~/Desktop"));
    EXPECT_TRUE(field->isReadOnly());

    m_nextFolders = {chosen};
    choose->click();
    ASSERT_EQ(m_panels.size(), 1);
    EXPECT_EQ(m_panels.first().startFolder, QDir(m_home.path()).filePath(QStringLiteral("Desktop")));
    EXPECT_EQ(m_delegate->userPrefs().exportCSVPath(), chosen);
    EXPECT_EQ(field->text(), chosen);
    // Other folders are left alone.
    EXPECT_EQ(m_delegate->userPrefs().exportAttachmentPath(), QStringLiteral("~/Desktop"));
}

TEST_F(PreferencesControllerTest, AutosaveIntervalRestartsTheRunningTimerAndRefusesNonsense)
{
    m_delegate->startAutoSaveTimer();
    ASSERT_EQ(m_delegate->autoSaveTimerInterval(), 60000);
    auto* seconds = control<QSpinBox>(QStringLiteral("General"), PreferenceKeys::AutoSaveTimeInterval);
    ASSERT_NE(seconds, nullptr);
    EXPECT_EQ(seconds->value(), 60);
    seconds->setValue(120);
    EXPECT_EQ(m_library.defaults().doubleValue(PreferenceKeys::AutoSaveTimeInterval), 120.0);
    EXPECT_EQ(m_delegate->autoSaveTimerInterval(), 120000);

    QString error;
    for (double bad : {0.0, -5.0, 1.0, 1e12, std::numeric_limits<double>::quiet_NaN()}) {
        error.clear();
        EXPECT_FALSE(m_controller->setAutoSaveTimeInterval(bad, &error)) << bad;
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(m_library.defaults().doubleValue(PreferenceKeys::AutoSaveTimeInterval), 120.0);
    EXPECT_EQ(m_delegate->autoSaveTimerInterval(), 120000);

    // A period from a hand-edited settings file that no timer can hold runs once a day.
    ASSERT_TRUE(m_library.defaults().setValue(PreferenceKeys::AutoSaveTimeInterval, 1e12));
    m_delegate->autoSaveTimeIntervalChanged();
    EXPECT_EQ(m_delegate->autoSaveTimerInterval(), 24 * 60 * 60 * 1000);
}

TEST_F(PreferencesControllerTest, AChangedIntervalDoesNotStartAnAutosaveThatIsNotRunning)
{
    ASSERT_TRUE(m_controller->setAutoSaveTimeInterval(30));
    EXPECT_EQ(m_delegate->autoSaveTimerInterval(), 0);
    m_delegate->startAutoSaveTimer();
    EXPECT_EQ(m_delegate->autoSaveTimerInterval(), 30000);
}

TEST_F(PreferencesControllerTest, WebPageButtonsOpenOnlyThroughTheDesktopLauncher)
{
    RecordingLauncher launcher;
    m_delegate->setDesktopLauncher(&launcher);
    auto* dropbox = control<QPushButton>(QStringLiteral("Sync Update"), QStringLiteral("getDropbox"));
    auto* phone = control<QPushButton>(QStringLiteral("Sync Update"), QStringLiteral("getKeymoorTouch"));
    ASSERT_TRUE(dropbox && phone);
    dropbox->click();
    phone->click();
    ASSERT_EQ(launcher.opened.size(), 2);
    EXPECT_EQ(launcher.opened.at(0).scheme(), QStringLiteral("https"));
    EXPECT_EQ(launcher.opened.at(0).host(), QStringLiteral("www.dropbox.com"));
    EXPECT_EQ(launcher.opened.at(1).host(), QStringLiteral("keymoor.net"));
    m_delegate->setDesktopLauncher(nullptr);
}

} // namespace

TEST_F(PreferencesControllerTest, AutoFillShowsWhatEachSourceKnowsAndStoresTheChosenOne)
{
    {
        QFile git(m_home.path() + QStringLiteral("/.gitconfig"));
        ASSERT_TRUE(git.open(QIODevice::WriteOnly));
        git.write("[user]\n\tname = Git Person\n\temail = git@example.org\n");
    }
    const QString autoFill = QString::fromLatin1(PreferencesController::AutoFillPane);
    auto* found = control<QLabel>(autoFill, QStringLiteral("IdentitySourcesFound"));
    auto* choice = control<QComboBox>(autoFill, PreferenceKeys::RegistrationInfoSource);
    ASSERT_TRUE(found && choice);
    m_controller->setActiveViewByIdentifier(autoFill);
    EXPECT_EQ(choice->currentText(), localizedString(QStringLiteral("PreferencesIdentitySourceAutomatic")));

    // The sources are read on a worker; the lines arrive when it is done.
    const QString gitLine = localizedFormat(
        QStringLiteral("PreferencesIdentitySourceLineFormat"),
        {localizedString(QStringLiteral("IdentitySourceGit")), QStringLiteral("Git Person, git@example.org")});
    EXPECT_TRUE(QTest::qWaitFor([found, &gitLine] { return found->text().contains(gitLine); }))
        << found->text().toStdString();
    EXPECT_TRUE(found->text().contains(localizedString(QStringLiteral("PreferencesIdentityNothingFound"))));

    // The choices are Automatic, then the sources in their order: the last one is the user account.
    QTest::keyClick(choice, Qt::Key_End);
    EXPECT_EQ(m_library.defaults().value(PreferenceKeys::RegistrationInfoSource).toString(), QStringLiteral("Account"));
    QTest::keyClick(choice, Qt::Key_Home);
    EXPECT_EQ(m_library.defaults().value(PreferenceKeys::RegistrationInfoSource).toString(),
              QStringLiteral("Automatic"));
}
