#pragma once

#include "base/UserInterface.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class KeymoorAppDelegate;
class PreferencesPane;
class QAction;
class QActionGroup;
class QMainWindow;
class QtUserInterface;
class QVBoxLayout;
class QWidget;
class UserPreferences;

// The preferences window: a toolbar of five panes ("General", "Auto Fill", "Email Scanner",
// "Sync Update", "Advanced") over the pane shown. Every control writes its preference at once; the
// changes are announced with preferenceChanged so the rest of the window can follow them.
//
// The choices that need no widgets (attachment order, autosave interval, folders, web pages) work
// without the window, which is made on first use and kept as long as the controller.
class PreferencesController : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreferencesController)

public:
    // The pane identifiers, in toolbar order.
    static const char* const GeneralPane;
    static const char* const AutoFillPane;
    static const char* const EmailScannerPane;
    static const char* const SyncUpdatePane;
    static const char* const AdvancedPane;
    static QStringList paneIdentifiers();

    // The autosave interval the window offers, in seconds.
    static constexpr int MinimumAutoSaveSeconds = 10;
    static constexpr int MaximumAutoSaveSeconds = 24 * 60 * 60;

    // Asks for one folder; nullopt when the person cancelled. Tests put their own answer here.
    using FolderChooser = std::function<std::optional<QString>(const OpenPanelOptions& options)>;

    // `delegate` must outlive the controller; the window becomes a window of `parentWindow`.
    explicit PreferencesController(KeymoorAppDelegate& delegate, QWidget* parentWindow = nullptr);
    ~PreferencesController() override;

    UserPreferences& prefs() const;
    KeymoorAppDelegate& delegate() const { return m_delegate; }
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    // Attachment order: "Name" or "Date", stored as a one-entry ascending order on "name" or "date".
    static QStringList availableAttachmentSortKeys();
    QString attachmentSortKey() const;
    // A key outside availableAttachmentSortKeys() is refused with `error` and changes nothing.
    bool setAttachmentSortKey(const QString& key, QString* error = nullptr);

    static QStringList addressBookProfiles(); // "Auto", "Home", "Work"

    // Stores the autosave period and restarts the running autosave with it. A period outside
    // MinimumAutoSaveSeconds..MaximumAutoSaveSeconds is refused with `error` and changes nothing.
    bool setAutoSaveTimeInterval(double seconds, QString* error = nullptr);

    // Asks for a folder starting in the folder of the preference `key` ("~" expanded) and stores
    // the chosen one through `store`. Answers whether a folder was stored.
    bool chooseFolder(const QString& key, const std::function<void(const QString&)>& store);
    // The Maildir folder (when that is the mail source) or mbox file "Find Licences in Mail" reads.
    bool chooseMailSourcePath();
    // The cloud-storage folder the sync export writes into: one folder, starting in "~/Dropbox".
    bool locateDropboxFolder();
    // The cloud-storage service's and the companion phone application's web pages, in the browser.
    bool getDropbox();
    bool getKeymoorTouch();

    // Announces a stored change (the panes call this after each write).
    void notePreferenceChanged(const QString& key);

    // ---- The window ----

    QMainWindow* window();
    // Centres the window when it is not on screen yet, then shows and raises it.
    void showWindow();
    // Shows the pane of a toolbar item and takes the item's label as the window title.
    void toggleActivePreferenceView(QAction* item);
    // Shows the pane of `identifier` without touching the toolbar and takes the identifier itself
    // as the title; an identifier of no pane only sets the title.
    void setActiveViewByIdentifier(const QString& identifier);
    // Shows `pane` with its current values and fits the window to it, keeping the top-left corner.
    void setActiveView(PreferencesPane* pane);

    PreferencesPane* activePane() const { return m_activePane; }
    PreferencesPane* pane(const QString& identifier) const;
    QAction* toolbarItem(const QString& identifier) const;

signals:
    // A control stored a new value under `key`.
    void preferenceChanged(const QString& key);

private:
    void buildWindow();
    void addPane(PreferencesPane* pane, QAction* item);
    std::optional<QString> runFolderChooser(const OpenPanelOptions& options);
    bool openAppInfoAddress(const QString& key);

    KeymoorAppDelegate& m_delegate;
    QPointer<QWidget> m_parentWindow;
    FolderChooser m_chooseFolder;
    std::unique_ptr<QtUserInterface> m_panels; // the folder dialogs over the window
    QPointer<QMainWindow> m_window;
    QActionGroup* m_items = nullptr;
    QVBoxLayout* m_holder = nullptr;
    QList<PreferencesPane*> m_panes;
    PreferencesPane* m_activePane = nullptr;
};
