#include "PersistentStore.h"

#include "EntityDescription.h"
#include "ObjectModel.h"
#include "SqliteStore.h"
#include "XmlStore.h"

#include <QFile>
#include <QFileInfo>

namespace Persistence {

QString storeTypeName(StoreType type)
{
    return type == StoreType::XML ? QStringLiteral("XML") : QStringLiteral("SQLite");
}

PersistentStore::PersistentStore(const QString& path, std::shared_ptr<const ObjectModel> model, bool readOnly)
    : m_path(QFileInfo(path).absoluteFilePath())
    , m_model(std::move(model))
    , m_readOnly(readOnly)
{ }

PersistentStore::~PersistentStore() = default;

std::unique_ptr<PersistentStore> PersistentStore::open(StoreType type, const QString& path,
                                                       std::shared_ptr<const ObjectModel> model, const Options& options,
                                                       StoreError* error)
{
    if (!model || path.isEmpty()) {
        setError(error, StoreError::Code::InvalidArgument, QStringLiteral("A store needs a model and a path."));
        return nullptr;
    }
    if (type == StoreType::XML) {
        return XmlStore::open(path, std::move(model), options, error);
    }
    return SqliteStore::open(path, std::move(model), options, error);
}

std::optional<StoreType> PersistentStore::detectType(const QString& path)
{
    if (SqliteStore::hasSqliteHeader(path)) {
        return StoreType::SQLite;
    }
    if (XmlStore::hasXmlStoreHeader(path)) {
        return StoreType::XML;
    }
    return std::nullopt;
}

std::optional<StoreInfo> PersistentStore::readInfo(const QString& path, StoreError* error)
{
    if (!QFileInfo(path).isFile()) {
        setError(error, StoreError::Code::FileNotFound, QStringLiteral("There is no store at \"%1\".").arg(path));
        return std::nullopt;
    }
    const auto type = detectType(path);
    if (!type) {
        setError(error, StoreError::Code::NotAStore,
                 QStringLiteral("The file \"%1\" is not a library store.").arg(path));
        return std::nullopt;
    }
    return *type == StoreType::XML ? XmlStore::readInfo(path, error) : SqliteStore::readInfo(path, error);
}

void PersistentStore::setMetadata(const QVariantMap& metadata)
{
    m_metadata = metadata;
    m_metadataPending = true;
}

bool PersistentStore::save(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error)
{
    if (changes.isEmpty()) {
        return true;
    }
    if (m_readOnly) {
        return setError(error, StoreError::Code::InvalidArgument,
                        QStringLiteral("The store \"%1\" is open read-only.").arg(m_path));
    }
    AssignedIDs newIDs;
    if (!write(changes, &newIDs, error)) {
        return false;
    }
    if (changes.writesMetadata) {
        m_metadataPending = false;
    }
    if (assigned) {
        *assigned = std::move(newIDs);
    }
    return true;
}

bool PersistentStore::fetchColumns(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                                   const QStringList& attributeNames, QVector<StoreRow>* rows, bool* predicateApplied,
                                   StoreError* error)
{
    QVector<StoreRow> whole;
    if (!fetchRows(entity, includeSubentities, predicate, &whole, predicateApplied, error)) {
        return false;
    }
    rows->reserve(rows->size() + whole.size());
    for (const StoreRow& row : std::as_const(whole)) {
        StoreRow& cut = rows->emplace_back();
        cut.id = row.id;
        cut.values.resize(attributeNames.size());
        for (qsizetype i = 0; i < attributeNames.size(); ++i) {
            const int index = row.id.entity()->propertyIndex(attributeNames[i]);
            if (index >= 0 && row.id.entity()->attributeAt(index) && index < row.values.size()) {
                cut.values[i] = row.values[index];
            }
        }
    }
    return true;
}

bool PersistentStore::loadRows(const EntityDescription* entity, const QVector<qint64>& keys, QVector<StoreRow>* rows,
                               StoreError* error)
{
    for (const qint64 key : keys) {
        std::optional<StoreRow> row;
        if (!loadRow(ObjectID::permanent(entity, m_identifier, key), &row, error)) {
            return false;
        }
        if (row) {
            rows->append(std::move(*row));
        }
    }
    return true;
}

bool PersistentStore::readRows(const EntityDescription* /*entity*/, const RowQuery& /*query*/,
                               const QVector<qint64>& /*keys*/, const RowCallback& /*callback*/, StoreError* error)
{
    return setError(error, StoreError::Code::InvalidArgument,
                    QStringLiteral("The store \"%1\" cannot read rows without objects.").arg(m_path));
}

bool PersistentStore::loadValues(const EntityDescription* entity, const QString& attributeName,
                                 const QVector<qint64>& keys, QHash<qint64, QVariant>* values, StoreError* error)
{
    // Entities of a family number their attributes differently: each row names its own.
    QVector<StoreRow> rows;
    if (!loadRows(entity, keys, &rows, error)) {
        return false;
    }
    for (const StoreRow& row : std::as_const(rows)) {
        QVariant value;
        if (!loadValue(row.id, row.id.entity()->propertyIndex(attributeName), &value, error)) {
            return false;
        }
        values->insert(row.id.key(), value);
    }
    return true;
}

bool PersistentStore::checkModel(int version, const QString& hash, StoreError* error) const
{
    if (hash == m_model->schemaHash()) {
        return true;
    }
    if (version > m_model->version()) {
        return setError(error, StoreError::Code::NewerModel,
                        QStringLiteral("The store \"%1\" was written by a newer version of the program.").arg(m_path),
                        QStringLiteral("its model version is %1, this program knows up to %2")
                            .arg(version)
                            .arg(m_model->version()));
    }
    return setError(
        error, StoreError::Code::ModelMismatch,
        QStringLiteral("The store \"%1\" does not match the object model.").arg(m_path),
        QStringLiteral("the store has model version %1, the model is version %2").arg(version).arg(m_model->version()));
}

} // namespace Persistence
