#include "ZRCoreDataFactory.h"

#include "AttachedEmail.h"
#include "IconEntity.h"
#include "ProductEntity.h"
#include "ZRAttachmentContent.h"
#include "base/Log.h"
#include "persistence/Diagnostics.h"

using namespace Persistence;

namespace {

void routeDiagnosticsToLog()
{
    static const bool routed = [] {
        setDiagnosticHandler([](const QString& line) { Log::write(line); });
        return true;
    }();
    Q_UNUSED(routed)
}

template<class T>
ObjectFactory factoryOf()
{
    return [] { return std::make_unique<T>(); };
}

} // namespace

void ZRCoreDataFactory::registerCatalogueClasses(ObjectModel& model)
{
    model.registerClass(QStringLiteral("ZRManagedObject"), factoryOf<ZRManagedObject>());
    model.registerClass(QStringLiteral("ProductEntity"), factoryOf<ProductEntity>());
    model.registerClass(QStringLiteral("AttachmentEntity"), factoryOf<AttachmentEntity>());
    model.registerClass(QStringLiteral("AttachedEmail"), factoryOf<AttachedEmail>());
    model.registerClass(QStringLiteral("ZRExternalFile"), factoryOf<ZRExternalFile>());
    model.registerClass(QStringLiteral("ZRAttachmentContent"), factoryOf<ZRAttachmentContent>());
    model.registerClass(QStringLiteral("IconEntity"), factoryOf<IconEntity>());
}

QString ZRCoreDataFactory::currentModelPath()
{
    return QStringLiteral(":/models/Keymoor_DataModel.mom");
}

std::shared_ptr<const ObjectModel> ZRCoreDataFactory::newManagedObjectModelForURL(const QString& path)
{
    routeDiagnosticsToLog();
    if (path.isEmpty()) {
        return nullptr;
    }
    StoreError error;
    std::unique_ptr<ObjectModel> model = ObjectModel::fromFile(path, &error);
    if (!model) {
        Log::write(QStringLiteral("%1: Error creating Managed Object Model for URL: %2 (%3)")
                       .arg(QStringLiteral("ZRCoreDataFactory::newManagedObjectModelForURL"), path, error.toString()));
        return nullptr;
    }
    registerCatalogueClasses(*model);
    return std::shared_ptr<const ObjectModel>(std::move(model));
}

std::shared_ptr<StoreCoordinator>
ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(const QString& path, StoreType type,
                                                       std::shared_ptr<const ObjectModel> model, StoreError* error)
{
    static const QString operation = QStringLiteral("ZRCoreDataFactory::newPersistentStoreCoordinatorForURL");
    routeDiagnosticsToLog();
    if (!model) {
        Log::write(QStringLiteral("%1: Error creating Persistent Store Coordinator!").arg(operation));
        setError(error, StoreError::Code::InvalidArgument, QStringLiteral("No object model."));
        return nullptr;
    }
    auto coordinator = std::make_shared<StoreCoordinator>(std::move(model));
    StoreError addError;
    if (!coordinator->addStore(type, path, &addError)) {
        Log::write(QStringLiteral("%1: Error adding persistent store for URL:%2").arg(operation, path));
        Log::write(QStringLiteral("%1: %2 -- %3").arg(operation, addError.description, addError.failureReason));
        if (error) {
            *error = addError;
        }
        return nullptr;
    }
    return coordinator;
}

std::unique_ptr<ObjectContext>
ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(std::shared_ptr<StoreCoordinator> coordinator)
{
    if (!coordinator) {
        Log::write(QStringLiteral("%1: Error creating Managed Object Context!")
                       .arg(QStringLiteral("ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator")));
        return nullptr;
    }
    return std::make_unique<ObjectContext>(std::move(coordinator));
}
