#include "KMImportOperation.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"

using namespace Persistence;

KMImportOperation::KMImportOperation(const QString& libraryPath, std::shared_ptr<StoreCoordinator> coordinator)
    : m_libraryPath(libraryPath)
    , m_coordinator(std::move(coordinator))
    , m_context(ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(m_coordinator))
{ }

KMImportOperation::~KMImportOperation() = default;

void KMImportOperation::start()
{
    main();
    QList<ObjectID> saved;
    if (m_context && m_context->hasChanges()) {
        ObjectList changed = m_context->insertedObjects();
        changed += m_context->updatedObjects();
        StoreError error;
        if (m_context->save(&error)) {
            // Read after the save: new objects have their permanent identifiers now.
            for (const ManagedObject* object : std::as_const(changed)) {
                saved.append(object->objectID());
            }
        } else {
            Log::write(QStringLiteral("Error saving after import: %1").arg(error.toString()));
            setError(PresentableError {localizedString(QStringLiteral("ImportSaveFailed")),
                                       localizedString(QStringLiteral("ImportNothingAdded")), error.toString()});
            m_context->rollback();
            const std::lock_guard locker(m_mutex);
            m_counts = {};
        }
    }
    {
        const std::lock_guard locker(m_mutex);
        m_importedObjects = saved;
    }
    setFinished();
}

QList<ObjectID> KMImportOperation::importedObjects() const
{
    const std::lock_guard locker(m_mutex);
    return m_importedObjects;
}

QString KMImportOperation::lastImported() const
{
    const std::lock_guard locker(m_mutex);
    return m_lastImported;
}

void KMImportOperation::setLastImported(const QString& title)
{
    const std::lock_guard locker(m_mutex);
    m_lastImported = title;
}

bool KMImportOperation::isFinished() const
{
    const std::lock_guard locker(m_mutex);
    return m_finished;
}

void KMImportOperation::setFinished()
{
    {
        const std::lock_guard locker(m_mutex);
        m_finished = true;
    }
    if (m_completion) {
        m_completion(this);
    }
}

ImportCounts KMImportOperation::counts() const
{
    const std::lock_guard locker(m_mutex);
    return m_counts;
}

void KMImportOperation::addCounts(const ImportCounts& counts)
{
    const std::lock_guard locker(m_mutex);
    m_counts += counts;
}

std::optional<Alert> KMImportOperation::alert() const
{
    const std::lock_guard locker(m_mutex);
    return m_alert;
}

void KMImportOperation::setAlert(const Alert& alert)
{
    const std::lock_guard locker(m_mutex);
    m_alert = alert;
}

std::optional<PresentableError> KMImportOperation::error() const
{
    const std::lock_guard locker(m_mutex);
    return m_error;
}

void KMImportOperation::setError(const PresentableError& error)
{
    const std::lock_guard locker(m_mutex);
    m_error = error;
}
