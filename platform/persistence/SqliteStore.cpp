#include "SqliteStore.h"

#include "EntityDescription.h"
#include "ObjectModel.h"
#include "SqlitePredicate.h"
#include "plist/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Persistence {

namespace {

const QByteArray SqliteMagic("SQLite format 3\0", 16);
constexpr int HeaderSize = 100;

quint32 bigEndian(const QByteArray& bytes, int offset, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i) {
        value = (value << 8) | quint8(bytes[offset + i]);
    }
    return value;
}

bool hasHotJournal(const QString& path)
{
    return QFileInfo(path + QStringLiteral("-journal")).size() > 0;
}

QString keyCounterName(const EntityDescription* root)
{
    return QStringLiteral("nextKey.") + root->name();
}

// Moves `from` to `to` unless something exists there already; never replaces a file.
bool moveIntoPlace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems without that flag: a hard link fails as well when the target exists.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return true;
    }
    return false;
}

bool syncPath(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

SqliteStore::SqliteStore(const QString& path, std::shared_ptr<const ObjectModel> model, bool readOnly)
    : PersistentStore(path, model, readOnly)
    , m_schema(*model)
{ }

bool SqliteStore::hasSqliteHeader(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(SqliteMagic.size()) == SqliteMagic;
}

bool SqliteStore::checkFile(const QString& path, StoreError* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return setError(error, StoreError::Code::IoError, QStringLiteral("The store \"%1\" cannot be read.").arg(path),
                        file.errorString());
    }
    const QByteArray header = file.read(HeaderSize);
    if (header.size() < HeaderSize) {
        const bool looksTruncated = SqliteMagic.startsWith(header) || header.startsWith(SqliteMagic);
        return setError(error, looksTruncated ? StoreError::Code::StoreCorrupt : StoreError::Code::NotAStore,
                        QStringLiteral("The file \"%1\" is not a complete library store.").arg(path),
                        QStringLiteral("the file holds only %1 bytes").arg(header.size()));
    }
    if (!header.startsWith(SqliteMagic)) {
        return setError(error, StoreError::Code::NotAStore,
                        QStringLiteral("The file \"%1\" is not a library store.").arg(path),
                        QStringLiteral("it is not an SQLite database"));
    }
    if (quint8(header[18]) != 1 || quint8(header[19]) != 1) {
        return setError(error, StoreError::Code::NotAStore,
                        QStringLiteral("The file \"%1\" is not a library store.").arg(path),
                        QStringLiteral("it is an SQLite database in write-ahead-log mode"));
    }
    if (hasHotJournal(path)) {
        return true; // SQLite rolls the interrupted save back when it opens the file
    }
    quint32 pageSize = bigEndian(header, 16, 2);
    pageSize = pageSize == 1 ? 65536 : pageSize;
    const quint32 changeCounter = bigEndian(header, 24, 4);
    const quint32 pageCount = bigEndian(header, 28, 4);
    const quint32 validFor = bigEndian(header, 92, 4);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
        return setError(error, StoreError::Code::StoreCorrupt, QStringLiteral("The store \"%1\" is damaged.").arg(path),
                        QStringLiteral("invalid page size %1").arg(pageSize));
    }
    if (validFor == changeCounter && pageCount > 0 && file.size() < qint64(pageCount) * pageSize) {
        return setError(
            error, StoreError::Code::StoreCorrupt, QStringLiteral("The store \"%1\" is damaged.").arg(path),
            QStringLiteral("the file is truncated: %1 of %2 bytes").arg(file.size()).arg(qint64(pageCount) * pageSize));
    }
    return true;
}

bool SqliteStore::openDatabase(SqliteDatabase& db, const QString& path, bool readOnly, StoreError* error)
{
    if (!db.open(path, readOnly, false)) {
        return setError(error, StoreError::Code::IoError,
                        QStringLiteral("The store \"%1\" cannot be opened.").arg(path), db.errorMessage());
    }
    SqlitePredicate::registerFunctions(db.handle());
    db.exec(QStringLiteral("PRAGMA cell_size_check = ON"));
    if (!db.exec(QStringLiteral("PRAGMA synchronous = FULL"))) {
        return setError(error, StoreError::Code::SqliteError,
                        QStringLiteral("The store \"%1\" cannot be opened.").arg(path), db.errorMessage());
    }
    return true;
}

std::optional<StoreInfo> SqliteStore::readInfo(SqliteDatabase& db, const QString& path, StoreError* error)
{
    const QString damaged = QStringLiteral("The store \"%1\" is damaged.").arg(path);
    SqliteStatement probe = db.prepareUncached(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'km_store'"));
    if (!probe.next()) {
        setError(error, StoreError::Code::StoreCorrupt, damaged, db.errorMessage());
        return std::nullopt;
    }
    if (probe.int64(0) != 1) {
        setError(error, StoreError::Code::NotAStore,
                 QStringLiteral("The file \"%1\" is not a library store.").arg(path),
                 QStringLiteral("it is an SQLite database of another program"));
        return std::nullopt;
    }
    SqliteStatement query = db.prepareUncached(QStringLiteral("SELECT key, value FROM km_store"));
    QHash<QString, QVariant> values;
    while (query.next()) {
        const QString key = query.text(0);
        values.insert(key, key == u"metadata" ? QVariant(query.blob(1)) : QVariant(query.text(1)));
    }
    if (!query.succeeded()) {
        setError(error, StoreError::Code::StoreCorrupt, damaged, db.errorMessage());
        return std::nullopt;
    }
    StoreInfo info;
    info.type = StoreType::SQLite;
    info.identifier = values.value(QStringLiteral("uuid")).toString();
    bool versionOk = false;
    info.modelVersion = values.value(QStringLiteral("modelVersion")).toString().toInt(&versionOk);
    info.schemaHash = values.value(QStringLiteral("schemaHash")).toString();
    QString plistError;
    const auto metadata = PropertyList::fromData(values.value(QStringLiteral("metadata")).toByteArray(), &plistError);
    if (info.identifier.isEmpty() || !versionOk || info.schemaHash.isEmpty() || !metadata
        || metadata->metaType().id() != QMetaType::QVariantMap) {
        setError(error, StoreError::Code::StoreCorrupt, damaged, QStringLiteral("its description is incomplete"));
        return std::nullopt;
    }
    info.metadata = metadata->toMap();
    return info;
}

std::optional<StoreInfo> SqliteStore::readInfo(const QString& path, StoreError* error)
{
    if (!QFileInfo::exists(path)) {
        setError(error, StoreError::Code::FileNotFound, QStringLiteral("There is no store at \"%1\".").arg(path));
        return std::nullopt;
    }
    if (!checkFile(path, error)) {
        return std::nullopt;
    }
    // A read-only connection cannot roll back an interrupted save; a writable one does so first.
    SqliteDatabase db;
    if (!openDatabase(db, path, !hasHotJournal(path), error)) {
        return std::nullopt;
    }
    return readInfo(db, path, error);
}

bool SqliteStore::create(const QString& path, const ObjectModel& model, StoreError* error)
{
    const QFileInfo target(path);
    if (!target.absoluteDir().exists()) {
        return setError(error, StoreError::Code::IoError,
                        QStringLiteral("The store \"%1\" cannot be created.").arg(path),
                        QStringLiteral("its folder does not exist"));
    }
    const QString temporary = path + QStringLiteral(".new-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    const auto cleanUp = [&temporary] {
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-journal"));
    };
    {
        SqliteDatabase db;
        if (!db.open(temporary, false, true)) {
            cleanUp();
            return setError(error, StoreError::Code::IoError,
                            QStringLiteral("The store \"%1\" cannot be created.").arg(path), db.errorMessage());
        }
        QStringList statements {
            QStringLiteral("PRAGMA journal_mode = DELETE"),
            QStringLiteral("BEGIN"),
            QStringLiteral("CREATE TABLE km_store (key TEXT PRIMARY KEY NOT NULL, value)"),
        };
        statements.append(SqliteSchema(model).createStatements());
        bool ok = true;
        for (const QString& statement : std::as_const(statements)) {
            ok = ok && db.exec(statement);
        }
        const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        const QHash<QString, QVariant> values {
            {QStringLiteral("uuid"), uuid},
            {QStringLiteral("modelVersion"), QString::number(model.version())},
            {QStringLiteral("schemaHash"), model.schemaHash()},
            {QStringLiteral("metadata"), PropertyList::toData(QVariantMap(), PropertyList::Format::Binary)},
        };
        for (auto it = values.cbegin(); ok && it != values.cend(); ++it) {
            SqliteStatement insert
                = db.prepareUncached(QStringLiteral("INSERT INTO km_store (key, value) VALUES (?, ?)"));
            ok = insert.bindText(1, it.key()) && insert.bind(2, it.value()) && insert.exec();
        }
        for (const auto& entity : model.entities()) {
            if (ok && !entity->parent()) {
                SqliteStatement insert
                    = db.prepareUncached(QStringLiteral("INSERT INTO km_store (key, value) VALUES (?, 1)"));
                ok = insert.bindText(1, keyCounterName(entity.get())) && insert.exec();
            }
        }
        ok = ok && db.exec(QStringLiteral("COMMIT"));
        if (!ok) {
            const QString reason = db.errorMessage();
            db.close();
            cleanUp();
            return setError(error, StoreError::Code::SqliteError,
                            QStringLiteral("The store \"%1\" cannot be created.").arg(path), reason);
        }
    }
    // Owner-only, durable, then moved into place without ever replacing a file that appeared there.
    const QByteArray from = QFile::encodeName(temporary);
    const QByteArray to = QFile::encodeName(path);
    if (::chmod(from.constData(), S_IRUSR | S_IWUSR) != 0 || !syncPath(temporary) || !moveIntoPlace(from, to)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        cleanUp();
        return setError(error, StoreError::Code::IoError,
                        QStringLiteral("The store \"%1\" cannot be created.").arg(path), reason);
    }
    cleanUp();
    syncPath(target.absolutePath());
    return true;
}

std::unique_ptr<SqliteStore> SqliteStore::open(const QString& path, std::shared_ptr<const ObjectModel> model,
                                               const Options& options, StoreError* error)
{
    if (!QFileInfo::exists(path)) {
        if (options.readOnly) {
            setError(error, StoreError::Code::FileNotFound, QStringLiteral("There is no store at \"%1\".").arg(path));
            return nullptr;
        }
        if (!create(path, *model, error)) {
            return nullptr;
        }
    }
    if (!checkFile(path, error)) {
        return nullptr;
    }
    std::unique_ptr<SqliteStore> store(new SqliteStore(path, model, options.readOnly));
    if (!openDatabase(store->m_db, path, options.readOnly, error)) {
        return nullptr;
    }
    const auto info = readInfo(store->m_db, path, error);
    if (!info || !store->checkModel(info->modelVersion, info->schemaHash, error)) {
        return nullptr;
    }
    if (!options.readOnly || options.checkPages) {
        SqliteStatement check = store->m_db.prepareUncached(QStringLiteral("PRAGMA quick_check(1)"));
        if (!check.next() || check.text(0) != u"ok") {
            setError(error, StoreError::Code::StoreCorrupt, QStringLiteral("The store \"%1\" is damaged.").arg(path),
                     check.succeeded() ? check.text(0) : store->m_db.errorMessage());
            return nullptr;
        }
    }
    store->m_identifier = info->identifier;
    store->m_metadata = info->metadata;
    return store;
}

bool SqliteStore::sqlFailure(StoreError* error, const QString& what) const
{
    return setError(error, StoreError::Code::SqliteError, what, m_db.errorMessage());
}

bool SqliteStore::followEntityRun(const SqliteStatement& statement, const EntityDescription* family, EntityRun* run,
                                  StoreError* error) const
{
    if (run->entity && statement.utf8(1) == run->name) {
        return true;
    }
    run->name = statement.utf8(1).toByteArray();
    const QString name = QString::fromUtf8(run->name);
    run->entity = m_model->entity(name);
    if (!run->entity || run->entity->root() != family->root()) {
        return setError(error, StoreError::Code::StoreCorrupt,
                        QStringLiteral("The store \"%1\" is damaged.").arg(m_path),
                        QStringLiteral("a row names the unknown entity \"%1\"").arg(name));
    }
    return true;
}

bool SqliteStore::readRows(SqliteStatement& statement, const EntityDescription* family, QVector<StoreRow>* rows,
                           StoreError* error) const
{
    const SqliteSchema::Family& plan = m_schema.family(family);
    EntityRun run;
    QVector<int> columns;
    while (statement.next()) {
        const EntityDescription* previous = run.entity;
        if (!followEntityRun(statement, family, &run, error)) {
            return false;
        }
        const EntityDescription* entity = run.entity;
        if (entity != previous) {
            columns.resize(entity->propertyCount());
            for (int i = 0; i < entity->propertyCount(); ++i) {
                const auto* attribute = entity->attributeAt(i);
                const auto* relationship = entity->relationshipAt(i);
                const QString& property = attribute ? attribute->name : relationship->name;
                columns[i] = plan.selectIndexByProperty.value(property, -1);
            }
        }
        StoreRow& row = rows->emplace_back();
        row.id = ObjectID::permanent(entity, m_identifier, statement.int64(0));
        row.values.resize(entity->propertyCount());
        for (const auto& attribute : entity->attributes()) {
            if (columns[attribute.index] >= 0) {
                row.values[attribute.index] = SqliteSchema::fromSql(attribute, statement, columns[attribute.index]);
            }
        }
        for (const auto& relationship : entity->relationships()) {
            const int column = columns[relationship.index];
            if (column >= 0 && !statement.isNull(column)) {
                row.values[relationship.index] = QVariant::fromValue(
                    ObjectID::permanent(relationship.destination, m_identifier, statement.int64(column)));
            }
        }
    }
    return statement.succeeded() || sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
}

SqliteStatement SqliteStore::prepareFetch(const EntityDescription* entity, bool includeSubentities,
                                          const Predicate& predicate, const QString& selectList, bool* predicateApplied)
{
    const SqliteSchema::Family& family = m_schema.family(entity);
    QString sql = QStringLiteral("SELECT ") + selectList + QStringLiteral(" FROM ") + family.table;
    QStringList conditions;
    QVariantList bindings;
    if (entity->parent() || !includeSubentities) {
        const auto members
            = includeSubentities ? entity->selfAndDescendants() : QList<const EntityDescription*> {entity};
        QStringList marks;
        for (const EntityDescription* member : members) {
            marks.append(QStringLiteral("?"));
            bindings.append(member->name());
        }
        conditions.append(QStringLiteral("ent IN (") + marks.join(QStringLiteral(", ")) + u')');
    }
    *predicateApplied = predicate.isNull();
    if (const auto clause = SqlitePredicate(entity, family).translate(predicate)) {
        conditions.append(u'(' + clause->sql + u')');
        bindings.append(clause->bindings);
        *predicateApplied = clause->complete;
    }
    if (!conditions.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    }
    countQuery();
    SqliteStatement statement = m_db.prepare(sql);
    for (int i = 0; i < bindings.size(); ++i) {
        statement.bind(i + 1, bindings[i]);
    }
    return statement;
}

bool SqliteStore::fetchRows(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                            QVector<StoreRow>* rows, bool* predicateApplied, StoreError* error)
{
    SqliteStatement statement
        = prepareFetch(entity, includeSubentities, predicate, m_schema.family(entity).selectList, predicateApplied);
    if (!statement.isValid()) {
        return sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
    }
    return readRows(statement, entity, rows, error);
}

bool SqliteStore::fetchColumns(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                               const QStringList& attributeNames, QVector<StoreRow>* rows, bool* predicateApplied,
                               StoreError* error)
{
    const SqliteSchema::Family& family = m_schema.family(entity);
    QString selectList = QStringLiteral("pk, ent");
    for (const QString& name : attributeNames) {
        const QString column = family.columnByProperty.value(name);
        selectList += QStringLiteral(", ") + (column.isEmpty() ? QStringLiteral("NULL") : column);
    }
    SqliteStatement statement = prepareFetch(entity, includeSubentities, predicate, selectList, predicateApplied);
    if (!statement.isValid()) {
        return sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
    }
    const EntityDescription* rowEntity = nullptr;
    QByteArray entityName; // as stored: rows of one entity come in runs
    QVector<const AttributeDescription*> attributes(attributeNames.size());
    while (statement.next()) {
        if (!rowEntity || statement.utf8(1) != entityName) {
            entityName = statement.utf8(1).toByteArray();
            const QString name = QString::fromUtf8(entityName);
            rowEntity = m_model->entity(name);
            if (!rowEntity || rowEntity->root() != entity->root()) {
                return setError(error, StoreError::Code::StoreCorrupt,
                                QStringLiteral("The store \"%1\" is damaged.").arg(m_path),
                                QStringLiteral("a row names the unknown entity \"%1\"").arg(name));
            }
            for (qsizetype i = 0; i < attributeNames.size(); ++i) {
                attributes[i] = rowEntity->attribute(attributeNames[i]);
            }
        }
        StoreRow& row = rows->emplace_back();
        row.id = ObjectID::permanent(rowEntity, m_identifier, statement.int64(0));
        row.values.resize(attributeNames.size());
        for (qsizetype i = 0; i < attributeNames.size(); ++i) {
            if (attributes[i] && attributes[i]->type != AttributeType::Binary) {
                row.values[i] = SqliteSchema::fromSql(*attributes[i], statement, int(i) + 2);
            }
        }
    }
    return statement.succeeded() || sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
}

bool SqliteStore::loadRow(const ObjectID& id, std::optional<StoreRow>* row, StoreError* error)
{
    countQuery();
    const SqliteSchema::Family& family = m_schema.family(id.entity());
    SqliteStatement statement = m_db.prepare(QStringLiteral("SELECT ") + family.selectList + QStringLiteral(" FROM ")
                                             + family.table + QStringLiteral(" WHERE pk = ?"));
    statement.bindInt64(1, id.key());
    QVector<StoreRow> rows;
    if (!readRows(statement, id.entity(), &rows, error)) {
        return false;
    }
    row->reset();
    if (!rows.isEmpty()) {
        *row = std::move(rows.first());
    }
    return true;
}

bool SqliteStore::loadValue(const ObjectID& id, int attributeIndex, QVariant* value, StoreError* error)
{
    const AttributeDescription* attribute = id.entity()->attributeAt(attributeIndex);
    const SqliteSchema::Family& family = m_schema.family(id.entity());
    if (!attribute) {
        return setError(error, StoreError::Code::InvalidArgument, QStringLiteral("No such attribute."));
    }
    countQuery();
    SqliteStatement statement
        = m_db.prepare(QStringLiteral("SELECT ") + family.columnByProperty.value(attribute->name)
                       + QStringLiteral(" FROM ") + family.table + QStringLiteral(" WHERE pk = ?"));
    statement.bindInt64(1, id.key());
    *value = QVariant();
    if (statement.next()) {
        *value = SqliteSchema::fromSql(*attribute, statement, 0);
        return true;
    }
    return statement.succeeded() || sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
}

bool SqliteStore::forEachChunk(const QString& head, const QString& tail, const QVector<qint64>& keys,
                               const std::function<bool(SqliteStatement&)>& read, StoreError* error)
{
    const int limit = qMin(MaxKeysPerQuery, sqlite3_limit(m_db.handle(), SQLITE_LIMIT_VARIABLE_NUMBER, -1));
    for (qsizetype first = 0; first < keys.size(); first += limit) {
        const int count = int(qMin<qsizetype>(limit, keys.size() - first));
        // Chunks are padded (with the last key again) to a power of two, so that a few cached
        // statements serve every batch size.
        int bound = 1;
        while (bound < count) {
            bound *= 2;
        }
        bound = qMin(bound, limit);
        QString marks = QStringLiteral("?");
        marks.reserve(bound * 3);
        for (int i = 1; i < bound; ++i) {
            marks += QStringLiteral(", ?");
        }
        countQuery();
        SqliteStatement statement = m_db.prepare(head + u'(' + marks + u')' + tail);
        if (!statement.isValid()) {
            return sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
        }
        for (int i = 0; i < bound; ++i) {
            statement.bindInt64(i + 1, keys[first + qMin(i, count - 1)]);
        }
        if (!read(statement)) {
            return false;
        }
    }
    return true;
}

bool SqliteStore::fetchRelated(const EntityDescription* entity, const QString& toOneName, const QVector<qint64>& keys,
                               QVector<StoreRow>* rows, StoreError* error)
{
    const SqliteSchema::Family& family = m_schema.family(entity);
    const QString column = family.columnByProperty.value(toOneName);
    if (column.isEmpty()) {
        return setError(error, StoreError::Code::InvalidArgument, QStringLiteral("No such relationship."));
    }
    return forEachChunk(
        QStringLiteral("SELECT ") + family.selectList + QStringLiteral(" FROM ") + family.table
            + QStringLiteral(" WHERE ") + column + QStringLiteral(" IN "),
        QStringLiteral(" ORDER BY ") + column + QStringLiteral(", pk"), keys,
        [&](SqliteStatement& statement) { return readRows(statement, entity, rows, error); }, error);
}

bool SqliteStore::loadRows(const EntityDescription* entity, const QVector<qint64>& keys, QVector<StoreRow>* rows,
                           StoreError* error)
{
    const SqliteSchema::Family& family = m_schema.family(entity);
    return forEachChunk(
        QStringLiteral("SELECT ") + family.selectList + QStringLiteral(" FROM ") + family.table
            + QStringLiteral(" WHERE pk IN "),
        QString(), keys, [&](SqliteStatement& statement) { return readRows(statement, entity, rows, error); }, error);
}

bool SqliteStore::loadValues(const EntityDescription* entity, const QString& attributeName, const QVector<qint64>& keys,
                             QHash<qint64, QVariant>* values, StoreError* error)
{
    const SqliteSchema::Family& family = m_schema.family(entity);
    const AttributeDescription* attribute = nullptr;
    for (const EntityDescription* member : family.root->selfAndDescendants()) {
        attribute = attribute ? attribute : member->attribute(attributeName);
    }
    if (!attribute) {
        return setError(error, StoreError::Code::InvalidArgument, QStringLiteral("No such attribute."));
    }
    return forEachChunk(
        QStringLiteral("SELECT pk, ") + family.columnByProperty.value(attributeName) + QStringLiteral(" FROM ")
            + family.table + QStringLiteral(" WHERE pk IN "),
        QString(), keys,
        [&](SqliteStatement& statement) {
            while (statement.next()) {
                values->insert(statement.int64(0), SqliteSchema::fromSql(*attribute, statement, 1));
            }
            return statement.succeeded()
                || sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
        },
        error);
}

void SqliteStore::beginRead()
{
    if (m_readDepth++ == 0) {
        m_readOpen = m_db.exec(QStringLiteral("BEGIN DEFERRED"));
    }
}

void SqliteStore::endRead()
{
    if (m_readDepth > 0 && --m_readDepth == 0 && m_readOpen) {
        m_db.exec(QStringLiteral("COMMIT"));
        m_readOpen = false;
    }
}

bool SqliteStore::allocateKeys(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error)
{
    QHash<const EntityDescription*, qint64> next;
    assigned->reserve(changes.inserted.size());
    for (const RowChange& change : changes.inserted) {
        const EntityDescription* root = change.id.entity()->root();
        if (!next.contains(root)) {
            SqliteStatement read = m_db.prepare(QStringLiteral("SELECT value FROM km_store WHERE key = ?"));
            read.bindText(1, keyCounterName(root));
            if (!read.next()) {
                return sqlFailure(error, QStringLiteral("Saving to the store \"%1\" failed.").arg(m_path));
            }
            next.insert(root, read.int64(0));
        }
        qint64& key = next[root];
        assigned->append(change.id, ObjectID::permanent(change.id.entity(), m_identifier, key++));
    }
    for (auto it = next.cbegin(); it != next.cend(); ++it) {
        SqliteStatement write = m_db.prepare(QStringLiteral("UPDATE km_store SET value = ? WHERE key = ?"));
        write.bindInt64(1, it.value());
        write.bindText(2, keyCounterName(it.key()));
        if (!write.exec()) {
            return sqlFailure(error, QStringLiteral("Saving to the store \"%1\" failed.").arg(m_path));
        }
    }
    return true;
}

bool SqliteStore::bindRow(SqliteStatement& statement, const RowChange& change, const AssignedIDs& assigned, int first,
                          StoreError* error, const QVector<int>* parameters) const
{
    const EntityDescription* entity = change.id.entity();
    for (int i = 0; i < change.properties.size(); ++i) {
        const int index = change.properties[i];
        const QVariant& value = change.value(i);
        // A statement's parameters start out null (fresh, or cleared after their last use).
        if (!value.isValid()) {
            continue;
        }
        const int parameter = parameters ? parameters->at(index) : first + i;
        if (const AttributeDescription* attribute = entity->attributeAt(index)) {
            if (SqliteSchema::storesAsIs(attribute->type)) {
                statement.bind(parameter, value); // binds a null value as null
            } else if (!value.isNull()) {
                statement.bind(parameter, SqliteSchema::toSql(*attribute, value));
            }
            continue;
        }
        ObjectID target = value.value<ObjectID>();
        if (target.isNull()) {
            continue;
        }
        if (target.isTemporary()) {
            target = assigned.value(target);
        }
        if (target.isNull() || target.storeIdentifier() != m_identifier) {
            return setError(error, StoreError::Code::ValidationFailed,
                            QStringLiteral("A relationship of %1 leads to an object outside the store \"%2\".")
                                .arg(entity->name(), m_path));
        }
        statement.bindInt64(parameter, target.key());
    }
    return true;
}

const SqliteStore::InsertStatement& SqliteStore::insertStatement(const EntityDescription* entity)
{
    auto it = m_insertStatements.find(entity);
    if (it != m_insertStatements.end()) {
        return it.value();
    }
    InsertStatement insert;
    insert.entityName = entity->name().toUtf8();
    insert.parameters.fill(-1, entity->propertyCount());
    const SqliteSchema::Family& family = m_schema.family(entity);
    QStringList columns {QStringLiteral("pk"), QStringLiteral("ent")};
    for (int index = 0; index < entity->propertyCount(); ++index) {
        const RelationshipDescription* relationship = entity->relationshipAt(index);
        if (relationship && relationship->toMany) {
            continue; // lives in the other objects' rows
        }
        columns.append(
            family.columnByProperty.value(relationship ? relationship->name : entity->attributeAt(index)->name));
        insert.parameters[index] = int(columns.size());
    }
    const QStringList marks(columns.size(), QStringLiteral("?"));
    insert.sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                     .arg(family.table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    return m_insertStatements.insert(entity, insert).value();
}

bool SqliteStore::insertRow(const RowChange& change, qint64 key, const AssignedIDs& assigned, StoreError* error)
{
    const InsertStatement& insert = insertStatement(change.id.entity());
    SqliteStatement statement = m_db.prepare(insert.sql);
    statement.bindInt64(1, key);
    statement.bindUtf8(2, insert.entityName);
    if (!bindRow(statement, change, assigned, 3, error, &insert.parameters)) {
        return false;
    }
    return statement.exec() || sqlFailure(error, QStringLiteral("Saving to the store \"%1\" failed.").arg(m_path));
}

bool SqliteStore::updateRow(const RowChange& change, const AssignedIDs& assigned, StoreError* error)
{
    if (change.properties.isEmpty()) {
        return true; // only a to-many changed, which lives in the other objects' rows
    }
    const EntityDescription* entity = change.id.entity();
    const SqliteSchema::Family& family = m_schema.family(entity);
    QStringList assignments;
    for (const int index : change.properties) {
        const auto* attribute = entity->attributeAt(index);
        assignments.append(
            family.columnByProperty.value(attribute ? attribute->name : entity->relationshipAt(index)->name)
            + QStringLiteral(" = ?"));
    }
    SqliteStatement statement = m_db.prepare(
        QStringLiteral("UPDATE %1 SET %2 WHERE pk = ?").arg(family.table, assignments.join(QStringLiteral(", "))));
    if (!bindRow(statement, change, assigned, 1, error)) {
        return false;
    }
    statement.bindInt64(int(change.properties.size()) + 1, change.id.key());
    // A row deleted meanwhile by another context stays deleted: there is nothing left to update.
    return statement.exec() || sqlFailure(error, QStringLiteral("Saving to the store \"%1\" failed.").arg(m_path));
}

bool SqliteStore::write(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error)
{
    // A save inside a read transaction ends it (the write transaction cannot nest in it) and the
    // reads after the save start a new one that sees the saved state.
    if (m_readOpen) {
        m_db.exec(QStringLiteral("COMMIT"));
        m_readOpen = false;
    }
    const bool written = writeChanges(changes, assigned, error);
    if (m_readDepth > 0) {
        m_readOpen = m_db.exec(QStringLiteral("BEGIN DEFERRED"));
    }
    return written;
}

bool SqliteStore::writeChanges(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error)
{
    SqliteTransaction transaction(m_db);
    if (!transaction.isActive()) {
        return sqlFailure(error, QStringLiteral("Saving to the store \"%1\" failed.").arg(m_path));
    }
    if (!allocateKeys(changes, assigned, error)) {
        return false;
    }
    for (qsizetype i = 0; i < changes.inserted.size(); ++i) {
        if (!insertRow(changes.inserted.at(i), assigned->at(i).key(), *assigned, error)) {
            return false;
        }
    }
    for (const RowChange& change : changes.updated) {
        if (!updateRow(change, *assigned, error)) {
            return false;
        }
    }
    for (const ObjectID& id : changes.deleted) {
        SqliteStatement statement
            = m_db.prepare(QStringLiteral("DELETE FROM %1 WHERE pk = ?").arg(m_schema.family(id.entity()).table));
        statement.bindInt64(1, id.key());
        if (!statement.exec()) {
            return sqlFailure(error, QStringLiteral("Saving to the store \"%1\" failed.").arg(m_path));
        }
    }
    if (changes.writesMetadata) {
        const QByteArray bytes = PropertyList::toData(changes.metadata, PropertyList::Format::Binary);
        if (bytes.isEmpty()) {
            return setError(error, StoreError::Code::InvalidArgument,
                            QStringLiteral("The store metadata holds values that cannot be stored."));
        }
        SqliteStatement statement
            = m_db.prepare(QStringLiteral("UPDATE km_store SET value = ? WHERE key = 'metadata'"));
        statement.bind(1, bytes);
        if (!statement.exec()) {
            return sqlFailure(error, QStringLiteral("Saving to the store \"%1\" failed.").arg(m_path));
        }
    }
    return transaction.commit() || sqlFailure(error, QStringLiteral("Saving to the store \"%1\" failed.").arg(m_path));
}

} // namespace Persistence
