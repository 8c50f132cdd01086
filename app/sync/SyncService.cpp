#include "SyncService.h"

#include "KMSyncOperation.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/Notice.h"
#include "base/UserInterface.h"
#include "library/LibrarySession.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

using namespace Persistence;

SyncService::SyncService(LibrarySession& session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{ }

bool SyncService::syncToMobile()
{
    if (!m_session.userPrefs().syncOn()) {
        emit preferencesPaneRequested(QString::fromLatin1(PreferencesPane));
        return false;
    }
    UserInterface* ui = m_session.userInterface();
    if (ui) {
        ui->startProgress(localizedString(QStringLiteral("SyncProgressMessage")));
    }
    const bool exported = exportSync();
    if (ui) {
        ui->stopProgress();
    }
    if (!exported) {
        Log::write(QStringLiteral("Sync Failed"));
        showSyncFailedAlert();
    }
    return exported;
}

bool SyncService::exportSync()
{
    // The export reads the store through a context of its own: the latest edits must be saved.
    m_session.saveAction();
    const QString folder = m_session.userPrefs().expandedPath(PreferenceKeys::SyncDropFolderLocation);
    ObjectContext* context = m_session.managedObjectContext();
    if (folder.isEmpty() || !context) {
        return false;
    }
    KMSyncOperation operation(folder, context->coordinator());
    return operation.exportSync();
}

void SyncService::showSyncFailedAlert() const
{
    UserInterface* ui = m_session.userInterface();
    if (!ui) {
        return;
    }
    showNotice(ui, AlertStyle::Warning, localizedString(QStringLiteral("SyncFailedTitle")),
               localizedString(QStringLiteral("SyncFailedMessage")));
}
