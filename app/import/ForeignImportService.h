#pragma once

#include "ForeignImportPlan.h"
#include "ForeignReadResult.h"
#include "persistence/ObjectID.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class LibrarySession;

// Imports other programs' exports (password managers, asset registers) in three steps: read the
// files (off the main thread, on the background-job tracker), plan against the catalogue (on the
// main thread, as the window's list reads the same context), then import what the plan says in one
// saved change, which undo takes back in one step. A file that cannot be read, or an import whose
// save fails, changes nothing.
class ForeignImportService
{
    Q_DISABLE_COPY_MOVE(ForeignImportService)

public:
    // The kind of background job that reads the files.
    static inline const QString ReadJob = QStringLiteral("ForeignImportRead");

    explicit ForeignImportService(LibrarySession& session);

    // Whether some foreign format reader recognises the file by its content.
    static bool isForeignExport(const QString& path);
    // Reads every file with its reader into one result (touching no library object); the first
    // file that fails makes the whole result an error, named after the file.
    static ForeignReadResult readFiles(const QStringList& paths);
    // readFiles() on the tracker; `done` runs on the main thread unless `receiver` is gone by then.
    void startReading(const QStringList& paths, std::function<void(const ForeignReadResult&)> done,
                      QObject* receiver = nullptr);

    // The plan for the records against the catalogue of the session's main context.
    bool plan(const ForeignReadResult& read, ForeignImportPlan* plan, QString* error) const;
    // Adds and updates the products the plan says, in the main context, in one undo group and one
    // save. Answers the products added and updated, or nullopt and the reason, with the catalogue
    // as it was.
    std::optional<QList<Persistence::ObjectID>> import(const ForeignImportPlan& plan, QString* error);

private:
    LibrarySession& m_session;
};
