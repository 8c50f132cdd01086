#include "KMImportProductsOperation.h"

#include "YojimboImporter.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "desktop/ContentType.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "software/DesktopApplicationIndex.h"
#include "software/InstalledSoftwareScanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

using namespace Persistence;

namespace {

const QString& runningProgramPath()
{
    static const QString path = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    return path;
}

// Stands in for the desktop's description of a file kind: plug-ins that are single files say so in
// the description of their type.
bool describesPlugin(const QString& mimeType)
{
    const QString comment = QMimeDatabase().mimeTypeForName(mimeType).comment();
    return comment.contains(QLatin1String("plug-in"), Qt::CaseInsensitive)
        || comment.contains(QLatin1String("plugin"), Qt::CaseInsensitive);
}

bool isDesktopEntryPath(const QString& path)
{
    return path.endsWith(QLatin1String(".desktop")) && QFileInfo(path).isFile();
}

// The program a desktop entry starts: the first word of its "Exec", without quotes.
QString programOfEntry(const QString& path)
{
    const std::optional<DesktopApplication> application = DesktopApplicationIndex::readFile(path);
    if (!application) {
        return {};
    }
    QString program = application->exec.trimmed().section(QLatin1Char(' '), 0, 0);
    program.remove(QLatin1Char('"'));
    return program;
}

} // namespace

KMImportProductsOperation::KMImportProductsOperation(const QStringList& files,
                                                     std::shared_ptr<StoreCoordinator> coordinator,
                                                     ApplicationLocator locator, Completion completion)
    : m_files(files)
    , m_coordinator(std::move(coordinator))
    , m_locator(std::move(locator))
    , m_completion(std::move(completion))
{ }

KMImportProductsOperation::~KMImportProductsOperation() = default;

ObjectContext* KMImportProductsOperation::managedObjectContext()
{
    if (!m_contextAttempted) {
        m_contextAttempted = true;
        m_context = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(m_coordinator);
        if (!m_context) {
            Log::write(QStringLiteral("KMImportProductsOperation: Error creating Managed Object Context!"));
            return nullptr;
        }
        // The save notice is what the main context merges; it is kept until the save returns.
        QObject::connect(
            m_context.get(), &ObjectContext::didSave, m_context.get(),
            [this](const SaveNotice& notice) { m_lastSaveNotice = notice; }, Qt::DirectConnection);
    }
    return m_context.get();
}

void KMImportProductsOperation::main()
{
    Outcome outcome;
    ObjectContext* context = managedObjectContext();
    if (!context) {
        outcome.error = StoreError {StoreError::Code::InvalidArgument,
                                    localizedString(QStringLiteral("ImportApplicationsFailed")),
                                    localizedString(QStringLiteral("ImportApplicationsNoContext"))};
    } else {
        QList<ProductEntity*> created;
        for (const QString& path : std::as_const(m_files)) {
            if (ProductEntity* product = importProductForFullPath(path)) {
                created.append(product);
            }
        }
        StoreError error;
        outcome.saved = m_saver ? m_saver(context, &error) : context->save(&error);
        if (outcome.saved) {
            outcome.saveNotice = m_lastSaveNotice;
            for (const ProductEntity* product : std::as_const(created)) {
                outcome.createdIDs.append(product->objectID());
            }
        } else {
            Log::write(QStringLiteral("Error importing application."));
            Log::write(QStringLiteral("UnderlyingError: %1").arg(error.toString()));
            outcome.error = error;
            removeIconFilesOfBatch();
            context->rollback();
        }
    }
    if (m_completion) {
        m_completion(outcome);
    }
}

void KMImportProductsOperation::removeIconFilesOfBatch()
{
    // Icon files are written when an icon is set; without their records they would only be
    // collected at the next quit.
    for (ManagedObject* object : m_context->insertedObjects()) {
        if (const auto* icon = dynamic_cast<IconEntity*>(object)) {
            const QString path = icon->filePath();
            if (!path.isEmpty()) {
                QFile::remove(path);
            }
        }
    }
}

ProductEntity* KMImportProductsOperation::importProductForFullPath(const QString& fullPath)
{
    if (fullPath.isEmpty() || isApplicationItself(fullPath) || !isApp(fullPath)) {
        return nullptr;
    }
    ObjectContext* context = managedObjectContext();
    auto* product = context ? context->insert<ProductEntity>(QStringLiteral("Product")) : nullptr;
    if (!product) {
        Log::write(QStringLiteral("error creating new product!"));
        return nullptr;
    }
    const QString path = QDir::cleanPath(fullPath);
    if (YojimboImporter::fileIsYojimboExport(path)) {
        YojimboImporter::importProduct(product, path, m_locator);
    } else {
        product->setTitleFromAppPath(path);
        product->setBundleInfoFromAppPath(path);
        product->setExternalIconFromAppPath(path);
    }
    return product;
}

bool KMImportProductsOperation::isApplicationItself(const QString& fullPath)
{
    const QString path = QDir::cleanPath(fullPath);
    if (path.endsWith(QLatin1String("Keymoor.app"))) {
        return true;
    }
    const QString self = runningProgramPath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (self.isEmpty() || canonical.isEmpty()) {
        return false;
    }
    if (isDesktopEntryPath(path)) {
        // An entry that starts this program, by its path or by its name on PATH.
        const QString program = programOfEntry(path);
        return !program.isEmpty()
            && (program == self || QFileInfo(program).canonicalFilePath() == self
                || (!program.contains(QLatin1Char('/')) && program == QFileInfo(self).fileName()));
    }
    return canonical == self || self.startsWith(canonical + QLatin1Char('/'));
}

bool KMImportProductsOperation::isApp(const QString& fullPath)
{
    if (fullPath.isEmpty()) {
        return false;
    }
    const QString path = QDir::cleanPath(fullPath);
    const QFileInfo info(path);
    if (!info.exists()) {
        return false;
    }
    if (info.suffix().compare(QLatin1String("kmlib"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    if (isDesktopEntryPath(path)) {
        return DesktopApplicationIndex::readFile(path).has_value();
    }
    if (info.isFile() && InstalledSoftwareScanner::isAppImage(path)) {
        return true;
    }
    // A folder has a type of its own only when it is a bundle with its information property list;
    // other folders are judged by their extension alone, which must be written exactly.
    const bool hasType = !info.isDir()
        || (ContentType::bundleKindOfFolder(path) != BundleKind::None && !ContentType::infoPlistPath(path).isEmpty());
    if (!hasType) {
        return info.suffix() == QLatin1String("app") || info.suffix() == QLatin1String("prefpane");
    }
    return isAppOfKnownType(path);
}

bool KMImportProductsOperation::isAppOfKnownType(const QString& path)
{
    const ContentType type = ContentType::ofPath(path);
    if (!type.isValid()) {
        return false;
    }
    if (type.isExecutable || type.isBundle()) {
        return true;
    }
    if (type.isPlainText) {
        return YojimboImporter::fileIsYojimboExport(path);
    }
    return describesPlugin(type.mimeType);
}
