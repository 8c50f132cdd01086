#pragma once

#include "ImportCounts.h"
#include "base/UserInterface.h"
#include "persistence/ObjectID.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace Persistence {
class ObjectContext;
class StoreCoordinator;
} // namespace Persistence

// One import of another program's data, run once on a thread of its own. It works in a private
// object context over the main store coordinator, made when the operation is created, and hands its
// results back as identifiers and counts, never objects. What it has to tell the person (an alert,
// an error) is kept for the main thread, which shows it when the operation has finished.
class KMImportOperation
{
public:
    // Called on the operation's thread once start() is done.
    using Completion = std::function<void(KMImportOperation* operation)>;

    KMImportOperation(const QString& libraryPath, std::shared_ptr<Persistence::StoreCoordinator> coordinator);
    virtual ~KMImportOperation();
    KMImportOperation(const KMImportOperation&) = delete;
    KMImportOperation& operator=(const KMImportOperation&) = delete;

    void setCompletion(Completion completion) { m_completion = std::move(completion); }

    // Runs main(), saves what it left unsaved in the operation's context ("Error saving after import:"
    // and an error for the person when that fails), records the identifiers of those objects and
    // finishes.
    void start();

    QString libraryPath() const { return m_libraryPath; }
    Persistence::ObjectContext* managedObjectContext() const { return m_context.get(); }
    const std::shared_ptr<Persistence::StoreCoordinator>& coordinator() const { return m_coordinator; }
    QList<Persistence::ObjectID> importedObjects() const;
    // The title of the entry imported last (for progress).
    QString lastImported() const;
    bool isFinished() const;
    ImportCounts counts() const;
    // What to show the person once the operation has finished.
    std::optional<Alert> alert() const;
    std::optional<PresentableError> error() const;

protected:
    virtual void main() { }

    void setLastImported(const QString& title);
    void addCounts(const ImportCounts& counts);
    void setAlert(const Alert& alert);
    void setError(const PresentableError& error);

private:
    void setFinished();

    QString m_libraryPath;
    std::shared_ptr<Persistence::StoreCoordinator> m_coordinator;
    std::unique_ptr<Persistence::ObjectContext> m_context;
    Completion m_completion;
    mutable std::mutex m_mutex;
    QList<Persistence::ObjectID> m_importedObjects;
    QString m_lastImported;
    bool m_finished = false;
    ImportCounts m_counts;
    std::optional<Alert> m_alert;
    std::optional<PresentableError> m_error;
};
