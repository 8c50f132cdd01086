#pragma once

#include "FetchRequest.h"
#include "ManagedObject.h"
#include "RowQuery.h"
#include "RowView.h"
#include "SaveNotice.h"
#include "StoreError.h"
#include "UndoManager.h"

#include <QObject>
#include <QRecursiveMutex>
#include <QSet>

#include <memory>
#include <optional>
#include <vector>

namespace Persistence {

class ObjectModel;
class PersistentStore;
class StoreCoordinator;
struct RelationshipDescription;
struct StoreRow;

// A scratch pad of objects over a store coordinator: an identity map (one object per identifier),
// the changes since the last save (inserted, updated, deleted), save, rollback, reset, refresh,
// undo, and a lock for callers that share it between threads. A context is used by one thread at
// a time; other threads make their own context over the same coordinator and pass identifiers.
// After each successful save didSave() carries the changed identifiers; connect it to
// mergeChangesFromSaveNotice() of another context (a queued connection when that context lives in
// another thread) to bring that context up to date.
class ObjectContext : public QObject
{
    Q_OBJECT

public:
    explicit ObjectContext(std::shared_ptr<StoreCoordinator> coordinator, QObject* parent = nullptr);
    ~ObjectContext() override;
    Q_DISABLE_COPY_MOVE(ObjectContext)

    const std::shared_ptr<StoreCoordinator>& coordinator() const { return m_coordinator; }
    const ObjectModel& model() const;

    // A new object of the named entity; nullptr (and a diagnostic) for unknown or abstract ones.
    ManagedObject* insertObject(const QString& entityName);
    template<class T>
    T* insert(const QString& entityName)
    {
        return dynamic_cast<T*>(insertObject(entityName));
    }
    // Which store a new object is saved to (default: the coordinator's first store).
    bool assignObjectToStore(ManagedObject* object, PersistentStore* store);
    // Marks the object deleted and applies the delete rules of its relationships at once.
    void deleteObject(ManagedObject* object);

    // The registered object, or a placeholder that loads on first use; nullptr for identifiers of
    // other coordinators.
    ManagedObject* objectWithID(const ObjectID& id);
    // The object with its values loaded; nullptr if the store no longer has it.
    ManagedObject* existingObjectWithID(const ObjectID& id, StoreError* error = nullptr);
    ManagedObject* registeredObject(const ObjectID& id) const;
    ObjectID objectIDForURI(const QString& uri) const;

    // Objects that match the request, including unsaved changes of this context, with the
    // relationships the request names for prefetching loaded.
    std::optional<ObjectList> execute(const FetchRequest& request, StoreError* error = nullptr);
    // The identifiers of the objects execute() would answer, in the same order, without loading
    // them: when the context holds no unsaved changes, the stores apply the whole predicate and
    // every sort key is a stored attribute of the entity, only the sort keys are read (as stored);
    // otherwise the objects are fetched. Prefetching named by the request is not done.
    std::optional<QVector<ObjectID>> fetchObjectIDs(const FetchRequest& request, StoreError* error = nullptr);
    // Loads, for all the objects at once, what each key path leads to: a to-one relationship
    // resolves its targets, a to-many one fills its lists, a binary attribute loads its value;
    // "attachedFiles.content" goes on from the objects of the first step. One store query per
    // step (in chunks for very many objects) instead of one per object. Objects of entities
    // without the named property are passed over; unsaved changes, inserted and deleted objects
    // and what is loaded already stay as they are.
    bool prefetch(const ObjectList& objects, const QStringList& keyPaths, StoreError* error = nullptr);

    // Reads the columns the query names straight from the stores, one row at a time, without
    // making objects: for walks that only read, such as writing out a whole catalogue. Rows are as
    // saved (this context's unsaved changes are not seen) and come store by store in the order the
    // query states. False with `error` when a name is unknown, a store cannot read rows this way
    // (canReadRows()) or a read fails; rows handed on before a failure stay handed on.
    bool readRows(const RowQuery& query, const RowCallback& callback, StoreError* error = nullptr);
    bool canReadRows() const;

    bool hasChanges() const;
    ObjectList insertedObjects() const;
    ObjectList updatedObjects() const;
    ObjectList deletedObjects() const;

    // Writes every change, all or nothing per store; on failure nothing in memory changes.
    bool save(StoreError* error = nullptr);
    // Forgets every unsaved change: inserted objects leave, changed ones reload on next use.
    void rollback();
    // Forgets every object; pointers to them become invalid.
    void reset();
    // Without merging: drops the object's values (and unsaved changes) so it reloads on next use.
    // With merging: reloads the stored values and keeps the unsaved changes on top.
    // Binary values are dropped either way and reload on access.
    void refreshObject(ManagedObject* object, bool mergeChanges);

    // Recursive lock for callers that share the context between threads.
    void lock() { m_lock.lock(); }
    void unlock() { m_lock.unlock(); }
    bool tryLock() { return m_lock.try_lock(); }

    // Undo is off until enabled; the manager then records every change of this context.
    void setUndoEnabled(bool enabled);
    UndoManager* undoManager() const { return m_undo.get(); }
    void undo();
    void redo();

public slots:
    void mergeChangesFromSaveNotice(const Persistence::SaveNotice& notice);

signals:
    void didSave(const Persistence::SaveNotice& notice);
    void didMerge(const Persistence::SaveNotice& notice);

private:
    friend class ManagedObject;
    // Groups everything one public call changes into one undo step.
    class UndoGroup
    {
    public:
        explicit UndoGroup(const ObjectContext* context)
            : m_undo(context->m_undo.get())
        {
            if (m_undo) {
                m_undo->beginGroup();
            }
        }
        ~UndoGroup()
        {
            if (m_undo) {
                m_undo->endGroup();
            }
        }
        Q_DISABLE_COPY_MOVE(UndoGroup)

    private:
        UndoManager* m_undo;
    };

    // Registration and lifecycle
    ManagedObject* registerObject(std::unique_ptr<ManagedObject> object, const ObjectID& id);
    void retire(ManagedObject* object);
    void registerID(const ObjectID& id, ManagedObject* object);
    void unregisterID(ManagedObject* object);
    void revive(ManagedObject* object, const ObjectID& id);
    void refault(ManagedObject* object);
    void markUpdated(ManagedObject* object);
    void markDeleted(ManagedObject* object);
    void unDelete(ManagedObject* object);
    void unInsert(ManagedObject* object);
    void reInsert(ManagedObject* object);
    void registerUndo(std::function<void()> action);

    // Loading
    PersistentStore* storeFor(const ObjectID& id) const;
    ObjectID localID(const ObjectID& id) const;
    void fulfill(ManagedObject* object);
    void applyRow(ManagedObject* object, const StoreRow& row, bool dropToMany);
    // The same, taking the row's values over when the object has no unsaved changes.
    void applyRow(ManagedObject* object, StoreRow&& row, bool dropToMany);
    ManagedObject* materialize(StoreRow&& row);
    ManagedObject* objectForStoredID(const ObjectID& id);
    QVariant readAttribute(ManagedObject* object, int index);
    ManagedObject* resolveToOne(ManagedObject* object, int index);
    const ObjectList& toManyList(ManagedObject* object, int index);
    void unloadInverseLists(ManagedObject* object);

    // Prefetching (ObjectContextPrefetch.cpp)
    bool fulfillAll(const ObjectList& objects, StoreError* error);
    bool prefetchStep(const ObjectList& objects, const QString& name, ObjectList* next, StoreError* error);
    bool prefetchToOne(const ObjectList& objects, const QString& name, ObjectList* next, StoreError* error);
    bool prefetchToMany(const ObjectList& objects, const QString& name, ObjectList* next, StoreError* error);
    bool prefetchBinary(const ObjectList& objects, const QString& name, StoreError* error);
    QHash<ManagedObject*, ObjectList> pendingMembers(const RelationshipDescription* relationship) const;

    // Changing
    bool writeAttribute(ManagedObject* object, int index, const QVariant& value);
    bool writeToOne(ManagedObject* object, int index, ManagedObject* target);
    void setRawToOne(ManagedObject* object, int index, ManagedObject* target);
    void unlinkAll(ManagedObject* object, bool cascade);

    // Fetching and saving
    bool fetchFromStores(const FetchRequest& request, const EntityDescription* entity, ObjectList* objects,
                         StoreError* error);
    void sortObjects(ObjectList& objects, const QList<SortDescriptor>& descriptors) const;
    // fetchObjectIDs() from the sort keys alone; nothing when the request needs whole objects.
    std::optional<QVector<ObjectID>> fetchSortedKeys(const FetchRequest& request, const EntityDescription* entity,
                                                     StoreError* error, bool* failed);
    bool checkDeleteRules(StoreError* error);
    bool saveStore(PersistentStore* store, SaveNotice* notice, StoreError* error);

    std::shared_ptr<StoreCoordinator> m_coordinator;
    // Every object the context has made, until reset(): objects that left (deleted and saved,
    // rolled back, merged away) stay allocated so that stale pointers and undo actions never dangle.
    std::vector<std::unique_ptr<ManagedObject>> m_owned;
    // The identity map: saved objects by identifier, new ones by their temporary number (which
    // alone tells temporary identifiers apart, and hashes and compares cheaply).
    QHash<ObjectID, ManagedObject*> m_registry;
    QHash<qint64, ManagedObject*> m_newRegistry;
    QSet<ManagedObject*> m_inserted;
    QSet<ManagedObject*> m_updated;
    QSet<ManagedObject*> m_deleted;
    QHash<ManagedObject*, PersistentStore*> m_assignedStores;
    std::unique_ptr<UndoManager> m_undo;
    QRecursiveMutex m_lock;
    quint64 m_sequence = 0;
};

// Holds a context's lock for a scope.
class ContextLocker
{
public:
    explicit ContextLocker(ObjectContext* context)
        : m_context(context)
    {
        if (m_context) {
            m_context->lock();
        }
    }
    ~ContextLocker()
    {
        if (m_context) {
            m_context->unlock();
        }
    }
    Q_DISABLE_COPY_MOVE(ContextLocker)

private:
    ObjectContext* m_context;
};

} // namespace Persistence
