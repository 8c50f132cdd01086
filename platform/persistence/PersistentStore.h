#pragma once

#include "AssignedIDs.h"
#include "Predicate.h"
#include "RowQuery.h"
#include "RowView.h"
#include "StoreError.h"
#include "StoreRow.h"

#include <QString>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace Persistence {

class EntityDescription;
class ObjectModel;

enum class StoreType { SQLite, XML };

QString storeTypeName(StoreType type);

// What a store file says about itself, read without opening the whole store.
struct StoreInfo
{
    StoreType type = StoreType::SQLite;
    QString identifier; // the store's UUID
    int modelVersion = 0; // version of the model that wrote it
    QString schemaHash; // shape of that model
    QVariantMap metadata; // the metadata dictionary callers set ("ZRModelVersion", ...)
};

// One store file. Stores are used by their coordinator only, under its mutex.
class PersistentStore
{
public:
    struct Options
    {
        bool readOnly = false;
        // Whether a read-only open reads every page of the file looking for damage. A reader that
        // only shows what it reads may pass it over: damage is then reported by the read that meets
        // it. Writable opens always check, and so does anyone copying out of the store.
        bool checkPages = true;
    };

    virtual ~PersistentStore();
    PersistentStore(const PersistentStore&) = delete;
    PersistentStore& operator=(const PersistentStore&) = delete;

    // Opens the store file at `path` with `model`, creating a new empty store when nothing exists
    // there (unless read-only). Refuses, without changing a byte, a file that is not a store of
    // that type, is damaged, or was written with a model of another shape.
    static std::unique_ptr<PersistentStore> open(StoreType type, const QString& path,
                                                 std::shared_ptr<const ObjectModel> model, const Options& options,
                                                 StoreError* error);

    // The store's description and metadata, reading only what is needed for it.
    static std::optional<StoreInfo> readInfo(const QString& path, StoreError* error = nullptr);
    // The type of the store file at `path` judged by its first bytes; nothing if it is neither.
    static std::optional<StoreType> detectType(const QString& path);

    virtual StoreType type() const = 0;
    const QString& path() const { return m_path; }
    const QString& identifier() const { return m_identifier; }
    bool isReadOnly() const { return m_readOnly; }
    const ObjectModel& model() const { return *m_model; }

    // Metadata set here is written by the next save.
    const QVariantMap& metadata() const { return m_metadata; }
    void setMetadata(const QVariantMap& metadata);
    bool hasPendingMetadata() const { return m_metadataPending; }

    // Rows of `entity` (and of its sub-entities if asked). The store may apply the predicate
    // itself; *predicateApplied tells whether it did, else the caller filters.
    virtual bool fetchRows(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                           QVector<StoreRow>* rows, bool* predicateApplied, StoreError* error)
        = 0;
    // The rows fetchRows() gives, cut down to the identifiers and the values of the named
    // attributes (by position in `attributeNames`; invalid where a row's entity lacks one): enough
    // to sort and filter without loading whole objects.
    virtual bool fetchColumns(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                              const QStringList& attributeNames, QVector<StoreRow>* rows, bool* predicateApplied,
                              StoreError* error);
    // One row; *row stays empty when the store has no such object.
    virtual bool loadRow(const ObjectID& id, std::optional<StoreRow>* row, StoreError* error) = 0;
    // The value of one attribute that rows leave out (binary).
    virtual bool loadValue(const ObjectID& id, int attributeIndex, QVariant* value, StoreError* error) = 0;
    // Rows of `entity` family whose to-one relationship `toOneName` points at one of the objects
    // with `keys`, in key order for each of them.
    virtual bool fetchRelated(const EntityDescription* entity, const QString& toOneName, const QVector<qint64>& keys,
                              QVector<StoreRow>* rows, StoreError* error)
        = 0;
    // Rows of the objects of `entity` family with `keys`; keys the store does not have are left out.
    virtual bool loadRows(const EntityDescription* entity, const QVector<qint64>& keys, QVector<StoreRow>* rows,
                          StoreError* error);
    // The values of one attribute that rows leave out (binary) for the objects of `entity` family
    // with `keys`, by key; keys the store does not have are left out.
    virtual bool loadValues(const EntityDescription* entity, const QString& attributeName, const QVector<qint64>& keys,
                            QHash<qint64, QVariant>* values, StoreError* error);

    // Reads the columns `query` names from the rows of `entity` family it selects, handing each row
    // to `callback` without making objects; `keys` are the keys of the query's objects that belong
    // to this store. Stores that cannot read rows this way answer false (supportsRowReading()).
    virtual bool supportsRowReading() const { return false; }
    virtual bool readRows(const EntityDescription* entity, const RowQuery& query, const QVector<qint64>& keys,
                          const RowCallback& callback, StoreError* error);

    // A read transaction: the reads until the matching endRead() see one state of the file, which
    // stays locked against writers of other processes meanwhile. Calls nest; a save in between
    // ends the transaction before it writes and starts it again afterwards.
    virtual void beginRead() { }
    virtual void endRead() { }

    // How many read queries the store has run (fetches, rows, values, chunks of batch loads).
    quint64 queryCount() const { return m_queryCount; }
    // Applies the change set all or nothing, and gives inserted objects permanent identifiers.
    bool save(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error);

protected:
    PersistentStore(const QString& path, std::shared_ptr<const ObjectModel> model, bool readOnly);
    virtual bool write(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error) = 0;

    // Checks that a store written by a model of `version` with `hash` can be opened with ours.
    bool checkModel(int version, const QString& hash, StoreError* error) const;

    QString m_path;
    QString m_identifier;
    std::shared_ptr<const ObjectModel> m_model;
    void countQuery() { ++m_queryCount; }

    QVariantMap m_metadata;
    bool m_metadataPending = false;
    bool m_readOnly = false;
    quint64 m_queryCount = 0;
};

} // namespace Persistence
