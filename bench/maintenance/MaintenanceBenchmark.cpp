// The library maintenance against the file system: the export folder and its re-import of a large
// library compared with `cp -r` of the same files, and the peak memory of a legacy migration with
// 200 MB of attachment bytes (which must stay flat: one attachment in memory at a time).
//
//   maintenance_benchmark [products] [legacy-megabytes]

#include "../support/UserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "maintenance/ZRDataMigrator.h"
#include "model/AttachmentEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <sys/resource.h>

using namespace Persistence;

namespace {

long peakRssKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void fillLibrary(KeymoorAppDelegate& delegate, int products)
{
    ObjectContext* context = delegate.managedObjectContext();
    const QByteArray bytes(512, 'a');
    for (int i = 0; i < products; ++i) {
        auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(QStringLiteral("Product %1").arg(i));
        product->setSerialNumber(QStringLiteral("SERIAL-%1").arg(i));
        for (int f = 0; f < 2; ++f) {
            auto* file = context->insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
            file->setName(QStringLiteral("receipt-%1.txt").arg(f));
            file->setProduct(product);
            file->insertNewAttachmentContentWithData(bytes);
        }
    }
    delegate.saveAction();
}

void benchmarkExportFolder(int products, const QString& root)
{
    useFreshUserFolders(QDir(root).filePath(QStringLiteral("source")));
    ScriptedUserInterface ui;
    UserDefaults defaults(QDir(root).filePath(QStringLiteral("source.conf")));
    double exportMs = 0;
    double importMs = 0;
    QString exported;
    {
        KeymoorAppDelegate delegate(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &defaults);
        delegate.initializeDefaultData();
        fillLibrary(delegate, products);
        QElapsedTimer timer;
        timer.start();
        exported = delegate.dataMigrator()->performBackgroundExportToPath(root);
        exportMs = elapsedMs(timer);
    }
    QElapsedTimer copyTimer;
    copyTimer.start();
    QProcess::execute(QStringLiteral("cp"),
                      {QStringLiteral("-r"), QDir(exported).filePath(QStringLiteral("Attachments")),
                       QDir(root).filePath(QStringLiteral("copy"))});
    QProcess::execute(QStringLiteral("sync"), {});
    const double copyMs = elapsedMs(copyTimer);

    useFreshUserFolders(QDir(root).filePath(QStringLiteral("target")));
    {
        KeymoorAppDelegate delegate(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &defaults);
        delegate.initializeDefaultData();
        QElapsedTimer timer;
        timer.start();
        const auto result = delegate.dataMigrator()->importFromXML(exported, true);
        importMs = elapsedMs(timer);
        if (result != ZRDataMigrator::ImportResult::Imported) {
            std::printf("import failed\n");
        }
    }
    std::printf("%d products, %d attached files of 512 bytes\n", products, products * 2);
    std::printf("export folder            %9.1f ms   cp -r + sync %9.1f ms   ratio %5.2f\n", exportMs, copyMs,
                exportMs / copyMs);
    std::printf("import (replace)         %9.1f ms   cp -r + sync %9.1f ms   ratio %5.2f\n", importMs, copyMs,
                importMs / copyMs);
}

void benchmarkLegacyMigration(int megabytes, const QString& root)
{
    useFreshUserFolders(QDir(root).filePath(QStringLiteral("legacy")));
    const QString legacy = LibraryPaths::legacyPersistentStoreURL();
    {
        auto coordinator = std::make_shared<StoreCoordinator>(ZRDataMigrator::managedObjectModelForVersion(4));
        coordinator->addStore(StoreType::SQLite, legacy);
        ObjectContext context(coordinator);
        const QByteArray bytes(1024 * 1024, 'x');
        for (int i = 0; i < megabytes; ++i) {
            ManagedObject* product = context.insertObject(QStringLiteral("Product"));
            product->setValue(QStringLiteral("title"), QStringLiteral("Legacy %1").arg(i));
            ManagedObject* file = context.insertObject(QStringLiteral("AttachedFile"));
            file->setValue(QStringLiteral("name"), QStringLiteral("file-%1.bin").arg(i));
            file->setToOne(QStringLiteral("product"), product);
            ManagedObject* content = context.insertObject(QStringLiteral("AttachmentContent"));
            content->setValue(QStringLiteral("contentData"), bytes);
            content->setToOne(QStringLiteral("attachment"), file);
            context.save();
            context.reset(); // one megabyte in memory at a time while the store is made
        }
    }
    const long before = peakRssKiB();
    ScriptedUserInterface ui;
    UserDefaults defaults(QDir(root).filePath(QStringLiteral("legacy.conf")));
    QElapsedTimer timer;
    timer.start();
    KeymoorAppDelegate delegate(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &defaults);
    const bool opened = delegate.managedObjectContext() != nullptr;
    const double ms = elapsedMs(timer);
    const long after = peakRssKiB();
    std::printf("legacy migration of %d MB in %d attachments: %s in %.1f ms; peak RSS %ld KiB before, %ld KiB "
                "after (+%ld KiB)\n",
                megabytes, megabytes, opened ? "done" : "FAILED", ms, before, after, after - before);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Log::setEchoToStandardError(false);
    const int products = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    const int megabytes = argc > 2 ? QByteArray(argv[2]).toInt() : 200;
    QTemporaryDir root(QDir::currentPath() + QStringLiteral("/maintenance-bench-XXXXXX"));
    // The legacy run comes first: peak memory only grows, and it is the one measured.
    benchmarkLegacyMigration(megabytes, root.path());
    benchmarkExportFolder(products, root.path());
    return 0;
}
