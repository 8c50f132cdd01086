#include "maintenance/LibraryCheckTables.h"

#include "model/ZRCoreDataFactory.h"
#include "persistence/EntityDescription.h"
#include "persistence/ObjectModel.h"
#include "persistence/SqliteSchema.h"

using namespace Persistence;

std::optional<LibraryCheckTables> LibraryCheckTables::forCurrentModel()
{
    const auto model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
    if (!model) {
        return std::nullopt;
    }
    return LibraryCheckTables(*model);
}

LibraryCheckTables::LibraryCheckTables(const ObjectModel& model)
{
    const SqliteSchema schema(model);
    for (const QString& name : model.entityNames()) {
        const EntityDescription* entity = model.entity(name);
        const SqliteSchema::Family& family = schema.family(entity);
        m_tables.insert(name, family.table);
        for (auto it = family.columnByProperty.cbegin(); it != family.columnByProperty.cend(); ++it) {
            m_columns.insert(name + u'.' + it.key(), it.value());
        }
    }
}

QString LibraryCheckTables::column(const QString& entity, const QString& property) const
{
    return m_columns.value(entity + u'.' + property);
}

QString LibraryCheckTables::table(LibraryCheckLink link) const
{
    return table(entityOf(link));
}

QString LibraryCheckTables::column(LibraryCheckLink link) const
{
    return column(entityOf(link), propertyOf(link));
}

QString LibraryCheckTables::entityOf(LibraryCheckLink link)
{
    switch (link) {
    case LibraryCheckLink::FileProduct:
    case LibraryCheckLink::FileContent:
        return QStringLiteral("AttachedFile");
    case LibraryCheckLink::ContentAttachment:
        return QStringLiteral("AttachmentContent");
    case LibraryCheckLink::ProductIcon:
        return QStringLiteral("Product");
    case LibraryCheckLink::IconProduct:
        return QStringLiteral("Icon");
    }
    return QString();
}

QString LibraryCheckTables::propertyOf(LibraryCheckLink link)
{
    switch (link) {
    case LibraryCheckLink::FileProduct:
    case LibraryCheckLink::IconProduct:
        return QStringLiteral("product");
    case LibraryCheckLink::FileContent:
        return QStringLiteral("content");
    case LibraryCheckLink::ContentAttachment:
        return QStringLiteral("attachment");
    case LibraryCheckLink::ProductIcon:
        return QStringLiteral("appIcon");
    }
    return QString();
}
