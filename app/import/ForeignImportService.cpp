#include "ForeignImportService.h"

#include "ForeignFormatRegistry.h"
#include "ForeignProductWriter.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "library/BackgroundJobTracker.h"
#include "library/LibrarySession.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "persistence/UndoManager.h"

#include <QFileInfo>

#include <memory>

using namespace Persistence;

namespace {

// Takes back everything written since the import began (the context had nothing unsaved before
// it). The undo steps would refer to what the rollback removed, so they go too.
void discardChanges(ObjectContext* context, UndoManager* undo)
{
    ContextLocker locker(context);
    context->rollback();
    if (undo) {
        undo->removeAllActions();
    }
}

} // namespace

ForeignImportService::ForeignImportService(LibrarySession& session)
    : m_session(session)
{ }

bool ForeignImportService::isForeignExport(const QString& path)
{
    return QFileInfo(path).isFile() && ForeignFormatRegistry::standard().readerForFile(path);
}

ForeignReadResult ForeignImportService::readFiles(const QStringList& paths)
{
    ForeignReadResult all;
    QStringList formats;
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        ForeignReadResult one = ForeignFormatRegistry::standard().readFile(path);
        if (one.error) {
            return ForeignReadResult::failure(
                one.format, localizedFormat(QStringLiteral("ForeignImportFileFailedFormat"), {name, *one.error}));
        }
        formats.append(one.format);
        all.records += one.records;
        for (const QString& warning : std::as_const(one.warnings)) {
            all.warnings.append(name + QStringLiteral(": ") + warning);
        }
        all.skippedNotLicence += one.skippedNotLicence;
    }
    formats.removeDuplicates();
    all.format = formats.join(QStringLiteral(", "));
    return all;
}

void ForeignImportService::startReading(const QStringList& paths, std::function<void(const ForeignReadResult&)> done,
                                        QObject* receiver)
{
    auto result = std::make_shared<ForeignReadResult>();
    m_session.jobs().start(
        ReadJob,
        [paths, result]() -> std::optional<QString> {
            *result = readFiles(paths);
            return std::nullopt;
        },
        [result, done = std::move(done)] { done(*result); }, BackgroundJobTracker::Placement::Queue, receiver);
}

bool ForeignImportService::plan(const ForeignReadResult& read, ForeignImportPlan* plan, QString* error) const
{
    return ForeignImportPlan::make(read, m_session.openedContext(), plan, error);
}

std::optional<QList<ObjectID>> ForeignImportService::import(const ForeignImportPlan& plan, QString* error)
{
    ObjectContext* context = m_session.isReadOnly() ? nullptr : m_session.managedObjectContext();
    if (!context) {
        *error = localizedString(QStringLiteral("ForeignImportNotWritable"));
        return std::nullopt;
    }
    // Pending edits are saved first, so that a failed import can roll back to a clean context.
    StoreError saveError;
    if (context->hasChanges() && !m_session.saveContext(context, &saveError)) {
        *error = localizedFormat(QStringLiteral("ForeignImportSaveFailedFormat"), {saveError.toString()});
        return std::nullopt;
    }
    UndoManager* undo = context->undoManager();
    if (undo) {
        undo->beginGroup();
    }
    QList<ProductEntity*> written;
    bool complete = true;
    for (const ForeignImportPlan::Item& item : plan.items) {
        ProductEntity* product = nullptr;
        if (item.action == ForeignImportPlan::Action::Add) {
            ContextLocker locker(context);
            product = context->insert<ProductEntity>(QStringLiteral("Product"));
        } else if (item.action == ForeignImportPlan::Action::Update) {
            product = dynamic_cast<ProductEntity*>(context->existingObjectWithID(item.product));
        } else {
            continue;
        }
        if (!product
            || !ForeignProductWriter::write(item.record, product, item.action == ForeignImportPlan::Action::Add)) {
            complete = false;
            break;
        }
        written.append(product);
    }
    if (undo) {
        undo->endGroup();
    }
    if (!complete || !m_session.saveContext(context, &saveError)) {
        Log::write(QStringLiteral("Foreign import failed: %1").arg(saveError.toString()));
        discardChanges(context, undo);
        *error = complete ? localizedFormat(QStringLiteral("ForeignImportSaveFailedFormat"), {saveError.toString()})
                          : localizedString(QStringLiteral("ForeignImportWriteFailed"));
        return std::nullopt;
    }
    QList<ObjectID> ids;
    for (const ProductEntity* product : std::as_const(written)) {
        ids.append(product->objectID());
    }
    if (!ids.isEmpty()) {
        emit m_session.productsChanged();
    }
    return ids;
}
