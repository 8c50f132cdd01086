#pragma once

#include <QObject>
#include <QString>

class LibrarySession;

// "Sync to iPhone": writes the sync folder with the whole catalogue into the chosen cloud-storage
// folder, or asks for the sync preferences while sync is switched off.
class SyncService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SyncService)

public:
    // The preferences pane the command asks for while sync is off.
    static constexpr const char* PreferencesPane = "Sync Update";

    explicit SyncService(LibrarySession& session, QObject* parent = nullptr);

    // With sync switched off, asks for the "Sync Update" preferences instead; otherwise saves (the
    // export reads the store, not the main context) and writes the sync folder under the progress
    // sheet, showing the "Sync Failed" alert when there is no folder or the export fails. Answers
    // whether it was written.
    bool syncToMobile();

signals:
    // The preferences window should open on the pane with this identifier.
    void preferencesPaneRequested(const QString& identifier);

private:
    bool exportSync();
    void showSyncFailedAlert() const;

    LibrarySession& m_session;
};
