#include "XmlStore.h"

#include "AtomicFile.h"
#include "EntityDescription.h"
#include "ObjectModel.h"
#include "XmlStoreReader.h"
#include "XmlStoreWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace Persistence {

namespace {

bool openForReading(QFile& file, StoreError* error)
{
    if (!file.open(QIODevice::ReadOnly)) {
        return setError(error, StoreError::Code::IoError,
                        QStringLiteral("The store \"%1\" cannot be read.").arg(file.fileName()), file.errorString());
    }
    if (file.size() > XmlStore::MaximumSize) {
        return setError(error, StoreError::Code::NotAStore,
                        QStringLiteral("The file \"%1\" is too large for a library store.").arg(file.fileName()));
    }
    return true;
}

} // namespace

XmlStore::XmlStore(const QString& path, std::shared_ptr<const ObjectModel> model, bool readOnly)
    : PersistentStore(path, model, readOnly)
{ }

bool XmlStore::hasXmlStoreHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    QByteArray head = file.read(1024);
    if (head.startsWith("\xEF\xBB\xBF")) {
        head.remove(0, 3);
    }
    head = head.trimmed();
    return head.startsWith("<?xml") && (head.contains("<!DOCTYPE database") || head.contains("<database"));
}

std::optional<StoreInfo> XmlStore::readInfo(const QString& path, StoreError* error)
{
    QFile file(path);
    if (!openForReading(file, error)) {
        return std::nullopt;
    }
    return XmlStoreReader::readInfo(file, path, error);
}

std::unique_ptr<XmlStore> XmlStore::open(const QString& path, std::shared_ptr<const ObjectModel> model,
                                         const Options& options, StoreError* error)
{
    std::unique_ptr<XmlStore> store(new XmlStore(path, model, options.readOnly));
    if (!QFileInfo::exists(path)) {
        if (options.readOnly) {
            setError(error, StoreError::Code::FileNotFound, QStringLiteral("There is no store at \"%1\".").arg(path));
            return nullptr;
        }
        if (!QFileInfo(path).absoluteDir().exists()) {
            setError(error, StoreError::Code::IoError, QStringLiteral("The store \"%1\" cannot be created.").arg(path),
                     QStringLiteral("its folder does not exist"));
            return nullptr;
        }
        StoreInfo& info = store->m_data.info;
        info.type = StoreType::XML;
        info.identifier = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        info.modelVersion = model->version();
        info.schemaHash = model->schemaHash();
        for (const auto& entity : model->entities()) {
            if (!entity->parent()) {
                store->m_data.nextKeys.insert(entity.get(), 1);
            }
        }
    } else {
        QFile file(path);
        if (!openForReading(file, error)) {
            return nullptr;
        }
        if (!hasXmlStoreHeader(path)) {
            setError(error, StoreError::Code::NotAStore,
                     QStringLiteral("The file \"%1\" is not a library store.").arg(path),
                     QStringLiteral("it is not an XML store document"));
            return nullptr;
        }
        const auto check = [&store](const StoreInfo& info, StoreError* checkError) {
            return store->checkModel(info.modelVersion, info.schemaHash, checkError);
        };
        if (!XmlStoreReader::read(file, path, *model, check, &store->m_data, error)) {
            return nullptr;
        }
    }
    store->m_identifier = store->m_data.info.identifier;
    store->m_metadata = store->m_data.info.metadata;
    return store;
}

StoreRow XmlStore::rowFor(qint64 key, const XmlStoreData::Record& record) const
{
    StoreRow row;
    row.id = ObjectID::permanent(record.entity, m_identifier, key);
    row.values.resize(record.values.size());
    for (const auto& attribute : record.entity->attributes()) {
        if (attribute.type != AttributeType::Binary) {
            row.values[attribute.index] = record.values[attribute.index];
        }
    }
    for (const auto& relationship : record.entity->relationships()) {
        const QVariant& target = record.values[relationship.index];
        if (!relationship.toMany && target.isValid()) {
            row.values[relationship.index]
                = QVariant::fromValue(ObjectID::permanent(relationship.destination, m_identifier, target.toLongLong()));
        }
    }
    return row;
}

bool XmlStore::fetchRows(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                         QVector<StoreRow>* rows, bool* predicateApplied, StoreError*)
{
    countQuery();
    *predicateApplied = predicate.isNull();
    const XmlStoreData::Family family = m_data.families.value(entity->root());
    for (auto it = family.cbegin(); it != family.cend(); ++it) {
        const EntityDescription* recordEntity = it.value().entity;
        if (recordEntity == entity || (includeSubentities && recordEntity->isKindOf(entity))) {
            rows->append(rowFor(it.key(), it.value()));
        }
    }
    return true;
}

bool XmlStore::loadRow(const ObjectID& id, std::optional<StoreRow>* row, StoreError*)
{
    countQuery();
    row->reset();
    const auto family = m_data.families.constFind(id.entity()->root());
    if (family != m_data.families.cend()) {
        const auto it = family->constFind(id.key());
        if (it != family->cend()) {
            *row = rowFor(it.key(), it.value());
        }
    }
    return true;
}

bool XmlStore::loadValue(const ObjectID& id, int attributeIndex, QVariant* value, StoreError*)
{
    countQuery();
    *value = QVariant();
    const auto family = m_data.families.constFind(id.entity()->root());
    if (family != m_data.families.cend()) {
        const auto it = family->constFind(id.key());
        if (it != family->cend() && attributeIndex >= 0 && attributeIndex < it->values.size()) {
            *value = it->values[attributeIndex];
        }
    }
    return true;
}

const QMultiHash<qint64, qint64>& XmlStore::relatedIndex(const EntityDescription* root, const QString& toOneName)
{
    const QString name = root->name() + u'.' + toOneName;
    auto it = m_related.find(name);
    if (it == m_related.end()) {
        QMultiHash<qint64, qint64> index;
        const XmlStoreData::Family family = m_data.families.value(root);
        for (auto record = family.cbegin(); record != family.cend(); ++record) {
            const int property = record->entity->propertyIndex(toOneName);
            if (property >= 0 && record->values[property].isValid()) {
                index.insert(record->values[property].toLongLong(), record.key());
            }
        }
        it = m_related.insert(name, index);
    }
    return *it;
}

bool XmlStore::fetchRelated(const EntityDescription* entity, const QString& toOneName, const QVector<qint64>& keys,
                            QVector<StoreRow>* rows, StoreError*)
{
    countQuery();
    const auto& index = relatedIndex(entity->root(), toOneName);
    const auto family = m_data.families.constFind(entity->root());
    if (family == m_data.families.cend()) {
        return true;
    }
    for (const qint64 key : keys) {
        QList<qint64> members = index.values(key);
        std::sort(members.begin(), members.end());
        for (const qint64 member : members) {
            const auto it = family->constFind(member);
            if (it != family->cend() && it->entity->isKindOf(entity)) {
                rows->append(rowFor(member, *it));
            }
        }
    }
    return true;
}

bool XmlStore::apply(const ChangeSet& changes, XmlStoreData& data, AssignedIDs* assigned, StoreError* error) const
{
    assigned->reserve(changes.inserted.size());
    for (const RowChange& change : changes.inserted) {
        const EntityDescription* root = change.id.entity()->root();
        const qint64 key = data.nextKeys.value(root, 1);
        data.nextKeys.insert(root, key + 1);
        assigned->append(change.id, ObjectID::permanent(change.id.entity(), m_identifier, key));
    }
    const auto write = [&](const RowChange& change, XmlStoreData::Record& record) {
        for (int i = 0; i < change.properties.size(); ++i) {
            const int index = change.properties[i];
            QVariant value = change.value(i);
            if (value.metaType() == QMetaType::fromType<ObjectID>()) {
                ObjectID target = value.value<ObjectID>();
                if (target.isTemporary()) {
                    target = assigned->value(target);
                }
                if (target.isNull() || target.storeIdentifier() != m_identifier) {
                    return setError(error, StoreError::Code::ValidationFailed,
                                    QStringLiteral("A relationship of %1 leads to an object outside the store \"%2\".")
                                        .arg(record.entity->name(), m_path));
                }
                value = target.key();
            }
            record.values[index] = value;
        }
        return true;
    };
    for (qsizetype i = 0; i < changes.inserted.size(); ++i) {
        const RowChange& change = changes.inserted.at(i);
        XmlStoreData::Record record;
        record.entity = change.id.entity();
        record.values.resize(record.entity->propertyCount());
        if (!write(change, record)) {
            return false;
        }
        data.families[record.entity->root()].insert(assigned->at(i).key(), record);
    }
    for (const RowChange& change : changes.updated) {
        auto& family = data.families[change.id.entity()->root()];
        const auto it = family.find(change.id.key());
        if (it != family.end() && !write(change, *it)) {
            return false;
        }
    }
    for (const ObjectID& id : changes.deleted) {
        data.families[id.entity()->root()].remove(id.key());
    }
    if (changes.writesMetadata) {
        data.info.metadata = changes.metadata;
    }
    return true;
}

bool XmlStore::write(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error)
{
    XmlStoreData data = m_data; // shared until changed: a failed save leaves the store as it was
    if (!apply(changes, data, assigned, error)) {
        return false;
    }
    QString reason;
    const bool written = AtomicFile::write(
        m_path,
        [&](QIODevice& device, QString* writeError) {
            return XmlStoreWriter::write(data, *m_model, device, writeError);
        },
        &reason);
    if (!written) {
        assigned->clear();
        return setError(error, StoreError::Code::IoError, QStringLiteral("Saving the store \"%1\" failed.").arg(m_path),
                        reason);
    }
    m_data = std::move(data);
    m_related.clear();
    return true;
}

} // namespace Persistence
