#include "PreferencesController.h"

#include "PreferencesPane.h"
#include "PreferencesPanes.h"
#include "QtUserInterface.h"
#include "core/AppInfo.h"
#include "core/KeymoorAppDelegate.h"
#include "core/Localization.h"
#include "core/Log.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

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
        reportRefusal(QStringLiteral("The autosave interval must be between %1 and %2 seconds, not %3.")
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
    const std::optional<QStringList> chosen = QtUserInterface(window()).runOpenPanel(options);
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    return chosen->first();
}

bool PreferencesController::chooseFolder(const QString& key, const std::function<void(const QString&)>& store)
{
    OpenPanelOptions options;
    options.title = tr("Choose a Folder");
    options.prompt = tr("Choose");
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

bool PreferencesController::locateDropboxFolder()
{
    OpenPanelOptions options;
    options.title = tr("Choose Your Dropbox Folder");
    options.prompt = tr("Choose");
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

// ---- The window ----

QMainWindow* PreferencesController::window()
{
    if (!m_window) {
        buildWindow();
    }
    return m_window;
}

void PreferencesController::buildWindow()
{
    m_window = new QMainWindow(m_parentWindow, Qt::Window);
    m_window->setObjectName(QStringLiteral("preferencesWindow"));
    m_panes.clear();
    m_activePane = nullptr;

    QToolBar* toolbar = m_window->addToolBar(QStringLiteral("preferences toolbar"));
    toolbar->setObjectName(QStringLiteral("preferences toolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu); // the toolbar cannot be hidden or changed
    toolbar->toggleViewAction()->setVisible(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_items = new QActionGroup(m_window);
    m_items->setExclusive(true);

    auto* holder = new QWidget(m_window);
    m_holder = new QVBoxLayout(holder);
    m_holder->setContentsMargins(0, 0, 0, 0);
    m_holder->setSizeConstraint(QLayout::SetMinimumSize);
    m_window->setCentralWidget(holder);

    const auto item = [this](const char* labelKey, const char* iconName, QStyle::StandardPixmap fallback) {
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(iconName), m_window->style()->standardIcon(fallback));
        auto* action = new QAction(icon, localizedString(QString::fromLatin1(labelKey)), m_items);
        action->setCheckable(true);
        return action;
    };
    addPane(PreferencesPanes::makeGeneralPane(*this, holder),
            item("PreferencesGeneralTab", "preferences-system", QStyle::SP_ComputerIcon));
    addPane(PreferencesPanes::makeAutoFillPane(*this, holder),
            item("PreferencesAutofillTab", "x-office-address-book", QStyle::SP_DirHomeIcon));
    addPane(PreferencesPanes::makeEmailScannerPane(*this, holder),
            item("PreferencesEmailScannerTab", "mail-message", QStyle::SP_FileDialogContentsView));
    addPane(PreferencesPanes::makeSyncUpdatePane(*this, holder),
            item("PreferencesSyncTab", "phone", QStyle::SP_DriveNetIcon));
    addPane(PreferencesPanes::makeAdvancedPane(*this, holder),
            item("PreferencesAdvancedTab", "preferences-other", QStyle::SP_FileDialogDetailedView));
    toolbar->addActions(m_items->actions());
    connect(m_items, &QActionGroup::triggered, this, &PreferencesController::toggleActivePreferenceView);

    // The window opens on the first pane.
    QAction* general = toolbarItem(QString::fromLatin1(GeneralPane));
    general->setChecked(true);
    toggleActivePreferenceView(general);
}

void PreferencesController::addPane(PreferencesPane* pane, QAction* item)
{
    item->setData(pane->identifier());
    item->setObjectName(pane->identifier());
    pane->hide();
    m_panes.append(pane);
}

PreferencesPane* PreferencesController::pane(const QString& identifier) const
{
    for (PreferencesPane* pane : m_panes) {
        if (pane->identifier() == identifier) {
            return pane;
        }
    }
    return nullptr;
}

QAction* PreferencesController::toolbarItem(const QString& identifier) const
{
    if (!m_items) {
        return nullptr;
    }
    for (QAction* action : m_items->actions()) {
        if (action->data().toString() == identifier) {
            return action;
        }
    }
    return nullptr;
}

void PreferencesController::toggleActivePreferenceView(QAction* item)
{
    if (!item) {
        return;
    }
    window();
    if (PreferencesPane* shown = pane(item->data().toString())) {
        setActiveView(shown);
    }
    m_window->setWindowTitle(item->text());
}

void PreferencesController::setActiveViewByIdentifier(const QString& identifier)
{
    window();
    if (PreferencesPane* shown = pane(identifier)) {
        setActiveView(shown);
    }
    m_window->setWindowTitle(identifier);
}

void PreferencesController::setActiveView(PreferencesPane* pane)
{
    window();
    if (!pane || !m_panes.contains(pane)) {
        return;
    }
    if (m_activePane && m_activePane != pane) {
        m_holder->removeWidget(m_activePane);
        m_activePane->hide();
    }
    pane->load();
    if (m_activePane != pane) {
        m_holder->addWidget(pane);
        pane->show();
        m_activePane = pane;
    }
    // The window takes the size the pane asks for; a top-level resize keeps the top-left corner.
    const QPoint topLeft = m_window->pos();
    m_holder->activate();
    m_window->setFixedSize(m_window->sizeHint());
    m_window->move(topLeft);
}

void PreferencesController::showWindow()
{
    QMainWindow* shown = window();
    if (!shown->isVisible()) {
        QScreen* screen = m_parentWindow ? m_parentWindow->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = shown->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            shown->move(frame.topLeft());
        }
    }
    shown->show();
    shown->raise();
    shown->activateWindow();
}
