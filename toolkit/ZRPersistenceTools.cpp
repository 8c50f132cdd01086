#include "ZRPersistenceTools.h"

#include "persistence/Diagnostics.h"
#include "persistence/ObjectModel.h"

using namespace Persistence;

namespace {

std::optional<ObjectList> run(ObjectContext& context, const FetchRequest& request, StoreError* error)
{
    if (!context.model().entity(request.entityName)) {
        return std::nullopt;
    }
    StoreError failure;
    auto objects = context.execute(request, &failure);
    if (!objects) {
        diagnostic(failure.toString());
        if (error) {
            *error = failure;
        }
    }
    return objects;
}

} // namespace

std::optional<ObjectList> ZR_fetchAllForEntityName(ObjectContext& context, const QString& entityName, StoreError* error)
{
    return run(context, FetchRequest(entityName), error);
}

std::optional<ObjectList> ZR_fetchObjectsForEntityName(ObjectContext& context, const QString& entityName,
                                                       const Predicate& predicate, StoreError* error)
{
    return run(context, FetchRequest(entityName, predicate), error);
}

std::optional<ObjectList> ZR_fetchObjectsForEntityName(ObjectContext& context, const QString& entityName,
                                                       const QVariant& predicate, const QVariantList& arguments,
                                                       StoreError* error)
{
    if (!predicate.isValid()) {
        return ZR_fetchAllForEntityName(context, entityName, error);
    }
    if (predicate.metaType() == QMetaType::fromType<Predicate>()) {
        return ZR_fetchObjectsForEntityName(context, entityName, predicate.value<Predicate>(), error);
    }
    if (predicate.metaType().id() == QMetaType::QString) {
        QString parseError;
        const auto parsed = Predicate::fromFormat(predicate.toString(), arguments, &parseError);
        if (!parsed) {
            diagnostic(parseError);
            setError(error, StoreError::Code::InvalidArgument, parseError);
            return std::nullopt;
        }
        return ZR_fetchObjectsForEntityName(context, entityName, *parsed, error);
    }
    const QString message
        = QStringLiteral("Second parameter passed to %1 is of unexpected class %2")
              .arg(QStringLiteral("ZR_fetchObjectsForEntityName"), QString::fromLatin1(predicate.typeName()));
    diagnostic(message);
    setError(error, StoreError::Code::InvalidArgument, message);
    Q_ASSERT_X(false, "ZR_fetchObjectsForEntityName", qPrintable(message));
    return std::nullopt;
}

bool ZR_setBoolValue(ManagedObject* object, bool value, const QString& key)
{
    return object && object->setPrimitiveValue(key, value);
}

bool ZR_boolValueForKey(const ManagedObject* object, const QString& key)
{
    return object && object->primitiveValue(key).toBool();
}
