#include "PreferencesController.h"

#include "QtUserInterface.h"
#include "base/AppInfo.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>

#include <cmath>

const char* const PreferencesController::GeneralPane = "General";
const char* const PreferencesController::AutoFillPane = "Auto Fill";
const char* const PreferencesController::EmailScannerPane = "Email Scanner";
const char* const PreferencesController::SyncUpdatePane = "Sync Update";
const char* const PreferencesController::AdvancedPane = "Advanced";

namespace {

void reportRefusal(const QString& message, QString* error)
{
    Log::write(message);
    if (error) {
        *error = message;
    }
}

} // namespace

PreferencesController::PreferencesController(KeymoorAppDelegate& delegate, QWidget* parentWindow)
    : QObject(parentWindow)
    , m_delegate(delegate)
    , m_parentWindow(parentWindow)
{ }

PreferencesController::~PreferencesController()
{
    delete m_window; // null when its parent window has already taken it along
}

QStringList PreferencesController::paneIdentifiers()
{
    return {QString::fromLatin1(GeneralPane), QString::fromLatin1(AutoFillPane), QString::fromLatin1(EmailScannerPane),
            QString::fromLatin1(SyncUpdatePane), QString::fromLatin1(AdvancedPane)};
}

UserPreferences& PreferencesController::prefs() const
{
    return m_delegate.userPrefs();
}

QStringList PreferencesController::availableAttachmentSortKeys()
{
    return {QStringLiteral("Name"), QStringLiteral("Date")};
}

QString PreferencesController::attachmentSortKey() const
{
    const SortOrder order = prefs().attachmentSortDescriptorsArray();
    if (order.isEmpty() || order.first().key.isEmpty()) {
        return {};
    }
    const QString key = order.first().key;
    return key.left(1).toUpper() + key.mid(1);
}

bool PreferencesController::setAttachmentSortKey(const QString& key, QString* error)
{
    if (!availableAttachmentSortKeys().contains(key)) {
        reportRefusal(QStringLiteral("Attachments cannot be sorted by \"%1\".").arg(key), error);
        return false;
    }
    prefs().setAttachmentSortDescriptorsArray({SortOrderEntry {key.toLower(), true, SortComparison::Natural}});
    notePreferenceChanged(PreferenceKeys::AttachmentSortKey);
    return true;
}

QStringList PreferencesController::addressBookProfiles()
{
    return UserPreferences::addressBookProfiles();
}

bool PreferencesController::setAutoSaveTimeInterval(double seconds, QString* error)
{
    if (!std::isfinite(seconds) || seconds < MinimumAutoSaveSeconds || seconds > MaximumAutoSaveSeconds) {
        reportRefusal(localizedString(QStringLiteral("PreferencesAutoSaveIntervalRefusedFormat"))
                          .arg(MinimumAutoSaveSeconds)
                          .arg(MaximumAutoSaveSeconds)
                          .arg(seconds),
                      error);
        return false;
    }
    prefs().setAutoSaveTimeInterval(seconds);
    notePreferenceChanged(PreferenceKeys::AutoSaveTimeInterval);
    return true;
}

void PreferencesController::notePreferenceChanged(const QString& key)
{
    if (key == PreferenceKeys::AutoSaveTimeInterval) {
        m_delegate.autoSaveTimeIntervalChanged();
    }
    emit preferenceChanged(key);
}

std::optional<QString> PreferencesController::runFolderChooser(const OpenPanelOptions& options)
{
    if (m_chooseFolder) {
        return m_chooseFolder(options);
    }
    // The folder dialog belongs to the preferences window, not to the main window.
    if (!m_panels) {
        m_panels = std::make_unique<QtUserInterface>(window());
    }
    const std::optional<QStringList> chosen = m_panels->runOpenPanel(options);
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    return chosen->first();
}

bool PreferencesController::chooseFolder(const QString& key, const std::function<void(const QString&)>& store)
{
    OpenPanelOptions options;
    options.title = localizedString(QStringLiteral("PreferencesChooseFolderTitle"));
    options.prompt = localizedString(QStringLiteral("PreferencesChooseFolderPrompt"));
    options.chooseFiles = false;
    options.chooseFolders = true;
    options.canCreateFolders = true;
    options.startFolder = prefs().expandedPath(key);
    if (!QFileInfo(options.startFolder).isDir()) {
        options.startFolder = QDir::homePath();
    }
    const std::optional<QString> folder = runFolderChooser(options);
    if (!folder || folder->isEmpty()) {
        return false;
    }
    store(*folder);
    notePreferenceChanged(key);
    return true;
}

bool PreferencesController::chooseMailSourcePath()
{
    const bool folder = prefs().mailSource() == QLatin1String("Maildir");
    OpenPanelOptions options;
    options.title = localizedString(folder ? QStringLiteral("MailFinderChooseMaildirTitle")
                                           : QStringLiteral("MailFinderChooseMboxTitle"));
    options.chooseFiles = !folder;
    options.chooseFolders = folder;
    options.startFolder = QDir::homePath();
    const std::optional<QString> path = runFolderChooser(options);
    if (!path || path->isEmpty()) {
        return false;
    }
    prefs().setMailSourcePath(*path);
    notePreferenceChanged(QString(PreferenceKeys::MailSourcePath));
    return true;
}

bool PreferencesController::locateDropboxFolder()
{
    OpenPanelOptions options;
    options.title = localizedString(QStringLiteral("PreferencesChooseYourDropboxFolderTitle"));
    options.prompt = localizedString(QStringLiteral("PreferencesChooseFolderPrompt"));
    options.chooseFiles = false;
    options.chooseFolders = true;
    const QString home = prefs().environment().homePath;
    options.startFolder = UserPreferences::expandTildeInPath(QStringLiteral("~/Dropbox"), home);
    if (!QFileInfo(options.startFolder).isDir()) {
        options.startFolder = home;
    }
    const std::optional<QString> folder = runFolderChooser(options);
    if (!folder || folder->isEmpty()) {
        return false;
    }
    // Links are resolved so the export writes where the folder really is.
    const QString resolved = QFileInfo(*folder).canonicalFilePath();
    prefs().setSyncDropFolderLocation(resolved.isEmpty() ? *folder : resolved);
    notePreferenceChanged(PreferenceKeys::SyncDropFolderLocation);
    return true;
}

bool PreferencesController::openAppInfoAddress(const QString& key)
{
    const QString address = AppInfo::stringValue(key);
    if (address.isEmpty()) {
        Log::write(QStringLiteral("No web address for %1 in the application's property list.").arg(key));
        return false;
    }
    return m_delegate.openStringAsURL(address);
}

bool PreferencesController::getDropbox()
{
    return openAppInfoAddress(QStringLiteral("KMDropboxURL"));
}

bool PreferencesController::getKeymoorTouch()
{
    return openAppInfoAddress(QStringLiteral("KMTouchURL"));
}
