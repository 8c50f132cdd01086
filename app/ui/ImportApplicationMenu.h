#pragma once

#include <QObject>
#include <QPointer>

class KeymoorAppDelegate;
class QAction;
class QMenu;

// The File menu's import commands: the import sheet (text, other programs' files, export folders)
// and the commands that import installed software: applications (Ctrl+I), preference panes,
// plug-ins and widgets, each through the controller's open panel, and the discovery of installed
// software. The preference pane, plug-in and widget commands are shown only while a folder of such
// bundles exists (SoftwareFolders::existingBundleFolder), looked at again whenever the menu opens.
class ImportApplicationMenu : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImportApplicationMenu)

public:
    ImportApplicationMenu(KeymoorAppDelegate* delegate, QObject* parent);
    ~ImportApplicationMenu() override;

    // Adds the "Import" submenu (the import sheet's command, then the four commands) and after it
    // "Discover Installed Software…".
    void addMenuTo(QMenu* menu);
    void setEnabled(bool enabled);
    // Shows the bundle commands whose folders exist now.
    void updateBundleCommands();

    // "Import from File…": asks for the import sheet (importSheetRequested).
    QAction* importSheetAction() const { return m_sheet; }
    QAction* importApplicationAction() const { return m_application; }
    QAction* importPreferencePaneAction() const { return m_preferencePane; }
    QAction* importPluginAction() const { return m_plugin; }
    QAction* importWidgetAction() const { return m_widget; }
    // "Import from Password Manager…": asks for the password manager import (foreignImportRequested).
    QAction* foreignImportAction() const { return m_foreign; }
    // "Discover Installed Software…": asks for the discovery sheet (discoverSoftwareRequested).
    QAction* discoverSoftwareAction() const { return m_discover; }

signals:
    void importSheetRequested();
    void foreignImportRequested();
    void discoverSoftwareRequested();

private:
    QAction* newAction(const QString& text, void (KeymoorAppDelegate::*command)());

    QPointer<KeymoorAppDelegate> m_delegate;
    QAction* m_sheet;
    QAction* m_foreign;
    QAction* m_application;
    QAction* m_preferencePane;
    QAction* m_plugin;
    QAction* m_widget;
    QAction* m_discover;
};
