#include "library/LibrarySession.h"

#include "../../support/ManualAutosaveTimer.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreError.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserDefaults.h"
#include "prefs/UserPreferences.h"
#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

class LibrarySessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
        auto clock = std::make_unique<ManualAutosaveTimer>();
        m_clock = clock.get();
        m_session.setAutosaveTimer(std::move(clock));
        m_session.setContextSaver([this](ObjectContext* context, StoreError* error) {
            if (m_failSaves) {
                *error
                    = StoreError {StoreError::Code::IoError, QStringLiteral("disk full"), QStringLiteral("injected")};
                return false;
            }
            return context->save(error);
        });
        m_session.initializeDefaultData();
        m_context = m_session.managedObjectContext();
        ASSERT_NE(m_context, nullptr);
        m_session.userPrefs().setAutoSaveTimeInterval(60);
    }
    void TearDown() override { Log::setSink({}); }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    LibrarySession m_session {&m_ui, LibrarySession::OpenMode::ReadWrite, &m_defaults};
    ManualAutosaveTimer* m_clock = nullptr;
    ObjectContext* m_context = nullptr;
    QStringList m_log;
    bool m_failSaves = false;
};

} // namespace

TEST_F(LibrarySessionTest, TheAutosaveStartsThreeSecondsAfterLaunchingAndSavesEveryPeriod)
{
    m_session.applicationDidFinishLaunching();
    m_clock->advance(2999);
    EXPECT_EQ(m_session.autoSaveTimerInterval(), 0);
    m_clock->advance(1);
    EXPECT_EQ(m_session.autoSaveTimerInterval(), 60000);

    ASSERT_TRUE(m_context->hasChanges()) << "the seeded defaults are not saved yet";
    m_clock->advance(59999);
    EXPECT_TRUE(m_context->hasChanges());
    m_clock->advance(1);
    EXPECT_FALSE(m_context->hasChanges());

    m_session.ownProduct()->setSerialNumber(QStringLiteral("AUTO"));
    m_clock->advance(60000);
    EXPECT_FALSE(m_context->hasChanges());
    EXPECT_EQ(m_clock->timeouts(), 2);
}

TEST_F(LibrarySessionTest, ChangingTheIntervalStartsARunningAutosaveOver)
{
    m_session.autoSaveTimeIntervalChanged();
    EXPECT_EQ(m_session.autoSaveTimerInterval(), 0) << "an autosave not yet started waits for its start";

    m_session.startAutoSaveTimer();
    m_clock->advance(30000);
    m_session.userPrefs().setAutoSaveTimeInterval(120);
    m_session.autoSaveTimeIntervalChanged();
    EXPECT_EQ(m_session.autoSaveTimerInterval(), 120000);
    // The old period would have saved at 60 s; the new one counts from the change.
    m_clock->advance(119999);
    EXPECT_TRUE(m_context->hasChanges());
    m_clock->advance(1);
    EXPECT_FALSE(m_context->hasChanges());

    // A period from a hand-edited settings file is capped at a day.
    ASSERT_TRUE(m_defaults.setValue(PreferenceKeys::AutoSaveTimeInterval, 1e12));
    m_session.autoSaveTimeIntervalChanged();
    EXPECT_EQ(m_session.autoSaveTimerInterval(), 24 * 60 * 60 * 1000);
}

TEST_F(LibrarySessionTest, AFailedAutosaveKeepsTheChangesAndTheNextOneWritesThem)
{
    m_session.startAutoSaveTimer();
    ProductEntity* own = m_session.ownProduct();
    own->setSerialNumber(QStringLiteral("KEPT"));
    m_failSaves = true;
    m_clock->advance(60000);
    EXPECT_TRUE(m_context->hasChanges());
    EXPECT_EQ(own->serialNumber(), QStringLiteral("KEPT"));
    EXPECT_EQ(m_ui.errors().size(), 1);
    EXPECT_TRUE(m_log.contains(QStringLiteral("Error: disk full")));

    m_failSaves = false;
    m_clock->advance(60000);
    EXPECT_FALSE(m_context->hasChanges());
    EXPECT_EQ(m_ui.errors().size(), 1);
}

TEST_F(LibrarySessionTest, AReadOnlySessionNeverAutosaves)
{
    ASSERT_TRUE(m_session.saveAction());
    LibrarySession reader(nullptr, LibrarySession::OpenMode::ReadOnly, &m_defaults);
    auto clock = std::make_unique<ManualAutosaveTimer>();
    ManualAutosaveTimer* readerClock = clock.get();
    reader.setAutosaveTimer(std::move(clock));
    reader.startAutoSaveTimer();
    EXPECT_EQ(reader.autoSaveTimerInterval(), 0);
    EXPECT_EQ(readerClock->starts(), 0);
}

TEST(LibrarySessionUpgrade, AStoreOfAnotherVersionGoesThroughTheInstalledUpgrader)
{
    TemporaryUserFolders folders;
    UserDefaults defaults {folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    {
        LibrarySession first(nullptr, LibrarySession::OpenMode::ReadWrite, &defaults);
        first.initializeDefaultData();
        ASSERT_TRUE(first.saveAction());
    }
    QStringList calls;
    const auto upgrader = [&calls](const QString& legacyPath, const QString& storePath) {
        calls.append(legacyPath + u'|' + storePath);
        return false;
    };

    // A current store opens without the upgrader.
    {
        LibrarySession current(nullptr, LibrarySession::OpenMode::ReadWrite, &defaults);
        current.setStoreUpgrader(upgrader);
        EXPECT_NE(current.managedObjectContext(), nullptr);
        EXPECT_TRUE(calls.isEmpty());
    }
    // One the version check calls old is handed over once; a refused upgrade leaves it closed.
    ScriptedUserInterface ui;
    LibrarySession older(&ui, LibrarySession::OpenMode::ReadWrite, &defaults);
    older.setStoreVersionCheck([](const QString&) { return false; });
    older.setStoreUpgrader(upgrader);
    EXPECT_EQ(older.managedObjectContext(), nullptr);
    EXPECT_EQ(older.managedObjectContext(), nullptr);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls.first(), u'|' + LibraryPaths::persistentStoreURL());
    EXPECT_FALSE(older.openError().isEmpty());
}
