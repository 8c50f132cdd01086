#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class DelimitedExportSheet;
class KeymoorAppDelegate;
class MigrationProgressSheet;
class QAction;
class QMenu;
class QWidget;

// The library-maintenance commands of the main window: the delimited export (with and without the
// options sheet), the export folder, the import of an export folder and a backup. The long work runs
// as a background job on a thread of its own under the maintenance progress sheet, which keeps the window from being
// edited meanwhile; the products list is refetched when the library changed.
class MaintenanceMenu : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MaintenanceMenu)

public:
    MaintenanceMenu(KeymoorAppDelegate* delegate, QWidget* window);
    ~MaintenanceMenu() override;

    void addActionsTo(QMenu* menu);
    // Whether a maintenance job started here is running.
    bool isRunning() const;

    // The commands (also callable by tests).
    void exportWithOptions(); // the options sheet, then the save dialog
    void exportToDelimitedText(); // the save dialog with the last options
    void exportToXML();
    void importLibrary();
    // Imports an export folder (or its Keymoor.xml) in the background, replacing the catalogue or
    // adding to it; the library is saved first.
    void importLibraryFromPath(const QString& path, bool replace);
    void backUpLibrary();

signals:
    // A background job ended.
    void finished();
    // What a finished command did, for the window's status bar.
    void statusMessage(const QString& message);

private:
    void runInBackground(std::function<void()> work, const QString& doneMessage);
    void setActionsEnabled(bool enabled);

    QPointer<KeymoorAppDelegate> m_delegate;
    QWidget* m_window;
    MigrationProgressSheet* m_sheet;
    QAction* m_exportOptions;
    QAction* m_exportFolder;
    QAction* m_import;
    QAction* m_backup;
};
