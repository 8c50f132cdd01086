#pragma once

#include "PersistentStore.h"
#include "SqliteDatabase.h"
#include "SqliteSchema.h"

#include <functional>

namespace Persistence {

// The SQLite store. The file is opened in rollback-journal mode with synchronous=FULL, and every
// save is one IMMEDIATE transaction: once save() returns, the file alone holds the data (no
// journal or WAL left beside it), and a crash at any moment leaves the old or the new state.
// A new store is built under a temporary name and moved into place, so a store file either does
// not exist or is complete. Files are readable by their owner only.
class SqliteStore : public PersistentStore
{
public:
    static std::unique_ptr<SqliteStore> open(const QString& path, std::shared_ptr<const ObjectModel> model,
                                             const Options& options, StoreError* error);
    // The description of the store at `path`, touching nothing but the metadata table.
    static std::optional<StoreInfo> readInfo(const QString& path, StoreError* error);
    // Whether the file starts like an SQLite database.
    static bool hasSqliteHeader(const QString& path);

    StoreType type() const override { return StoreType::SQLite; }

    bool fetchRows(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                   QVector<StoreRow>* rows, bool* predicateApplied, StoreError* error) override;
    bool fetchColumns(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                      const QStringList& attributeNames, QVector<StoreRow>* rows, bool* predicateApplied,
                      StoreError* error) override;
    bool loadRow(const ObjectID& id, std::optional<StoreRow>* row, StoreError* error) override;
    bool loadValue(const ObjectID& id, int attributeIndex, QVariant* value, StoreError* error) override;
    bool fetchRelated(const EntityDescription* entity, const QString& toOneName, const QVector<qint64>& keys,
                      QVector<StoreRow>* rows, StoreError* error) override;
    bool loadRows(const EntityDescription* entity, const QVector<qint64>& keys, QVector<StoreRow>* rows,
                  StoreError* error) override;
    bool loadValues(const EntityDescription* entity, const QString& attributeName, const QVector<qint64>& keys,
                    QHash<qint64, QVariant>* values, StoreError* error) override;

    bool supportsRowReading() const override { return true; }
    bool readRows(const EntityDescription* entity, const RowQuery& query, const QVector<qint64>& keys,
                  const RowCallback& callback, StoreError* error) override;

    void beginRead() override;
    void endRead() override;

    // Batch loads bind at most this many keys per query (fewer when SQLite allows fewer).
    static constexpr int MaxKeysPerQuery = 512;

protected:
    bool write(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error) override;

private:
    SqliteStore(const QString& path, std::shared_ptr<const ObjectModel> model, bool readOnly);

    static bool create(const QString& path, const ObjectModel& model, StoreError* error);
    static bool checkFile(const QString& path, StoreError* error);
    static bool openDatabase(SqliteDatabase& db, const QString& path, bool readOnly, StoreError* error);
    static std::optional<StoreInfo> readInfo(SqliteDatabase& db, const QString& path, StoreError* error);

    // The SELECT of `selectList` over the rows of `entity` (and its sub-entities if asked) that
    // match as much of the predicate as SQL can say; *predicateApplied tells whether that is all.
    SqliteStatement prepareFetch(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                                 const QString& selectList, bool* predicateApplied);
    bool readRows(SqliteStatement& statement, const EntityDescription* family, QVector<StoreRow>* rows,
                  StoreError* error) const;
    // The entity of the rows being read. Rows of one entity come in runs, so the stored name is
    // compared as it stands and looked up only when it changes.
    struct EntityRun
    {
        const EntityDescription* entity = nullptr;
        QByteArray name;
    };
    // Moves `run` to the entity the current row of `statement` names; false (with `error`) when
    // that is no entity of `family`'s family, which only a damaged store holds.
    bool followEntityRun(const SqliteStatement& statement, const EntityDescription* family, EntityRun* run,
                         StoreError* error) const;
    // Runs `head` + "(?, ..., ?)" + `tail` over the keys in chunks, handing each executed statement
    // to `read`.
    bool forEachChunk(const QString& head, const QString& tail, const QVector<qint64>& keys,
                      const std::function<bool(SqliteStatement&)>& read, StoreError* error);
    // Steps a statement built by readRows() and hands its rows on.
    bool readRowViews(SqliteStatement& statement, const EntityDescription* entity, const QVector<int>& kinds,
                      const QVector<const AttributeDescription*>& attributes, const RowCallback& callback,
                      StoreError* error) const;
    bool writeChanges(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error);
    bool sqlFailure(StoreError* error, const QString& what) const;
    bool allocateKeys(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error);
    // Binds each listed property to parameter `first` + its position in the list, or, with
    // `parameters`, to the parameter that list gives by property index.
    bool bindRow(SqliteStatement& statement, const RowChange& change, const AssignedIDs& assigned, int first,
                 StoreError* error, const QVector<int>* parameters = nullptr) const;
    bool insertRow(const RowChange& change, qint64 key, const AssignedIDs& assigned, StoreError* error);
    bool updateRow(const RowChange& change, const AssignedIDs& assigned, StoreError* error);

    SqliteDatabase m_db;
    SqliteSchema m_schema;
    int m_readDepth = 0;
    bool m_readOpen = false; // a read transaction is open on the connection
    // One per entity: every stored column, so rows that leave some empty share it.
    struct InsertStatement
    {
        QString sql;
        QByteArray entityName; // UTF-8, bound into every row
        QVector<int> parameters; // by property index: the statement's parameter, -1 for to-many
    };
    const InsertStatement& insertStatement(const EntityDescription* entity);
    QHash<const EntityDescription*, InsertStatement> m_insertStatements;
};

} // namespace Persistence
