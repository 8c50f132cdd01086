#pragma once

#include "PersistentStore.h"
#include "XmlStoreData.h"

namespace Persistence {

// The XML store: the export and exchange format. The whole document is read when the store
// opens and rewritten atomically by every save; a new store's file appears with its first save.
class XmlStore : public PersistentStore
{
public:
    static std::unique_ptr<XmlStore> open(const QString& path, std::shared_ptr<const ObjectModel> model,
                                          const Options& options, StoreError* error);
    static std::optional<StoreInfo> readInfo(const QString& path, StoreError* error);
    // Whether the file starts like an XML store document.
    static bool hasXmlStoreHeader(const QString& path);

    // Documents larger than this are refused.
    static constexpr qint64 MaximumSize = qint64(1) << 30;

    StoreType type() const override { return StoreType::XML; }

    bool fetchRows(const EntityDescription* entity, bool includeSubentities, const Predicate& predicate,
                   QVector<StoreRow>* rows, bool* predicateApplied, StoreError* error) override;
    bool loadRow(const ObjectID& id, std::optional<StoreRow>* row, StoreError* error) override;
    bool loadValue(const ObjectID& id, int attributeIndex, QVariant* value, StoreError* error) override;
    bool fetchRelated(const EntityDescription* entity, const QString& toOneName, const QVector<qint64>& keys,
                      QVector<StoreRow>* rows, StoreError* error) override;

protected:
    bool write(const ChangeSet& changes, AssignedIDs* assigned, StoreError* error) override;

private:
    XmlStore(const QString& path, std::shared_ptr<const ObjectModel> model, bool readOnly);

    StoreRow rowFor(qint64 key, const XmlStoreData::Record& record) const;
    bool apply(const ChangeSet& changes, XmlStoreData& data, AssignedIDs* assigned, StoreError* error) const;
    const QMultiHash<qint64, qint64>& relatedIndex(const EntityDescription* root, const QString& toOneName);

    XmlStoreData m_data;
    // Keys of records by the key their to-one relationship points at, built on first use.
    QHash<QString, QMultiHash<qint64, qint64>> m_related;
};

} // namespace Persistence
