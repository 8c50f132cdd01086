#include "ProductApplicationCommands.h"

#include "DesktopLauncherProvider.h"
#include "base/AppInfo.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "desktop/DesktopActions.h"
#include "desktop/DesktopLauncher.h"
#include "library/LibrarySession.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"
#include "software/DesktopApplicationIndex.h"
#include "software/InstalledSoftwareScanner.h"

#include <QFileInfo>

using namespace Persistence;

namespace {

// Log lines keep the operation names people and tests have always searched the log for.
QString operationName(const char* function)
{
    return QStringLiteral("KeymoorAppDelegate::") + QString::fromLatin1(function);
}

// The undo manager a command on this product records its step with, if any.
UndoManager* undoManagerOf(const ProductEntity* product)
{
    return product && product->context() ? product->context()->undoManager() : nullptr;
}

// The name Keymoor's own record and bundle go by.
QString ownBundleName()
{
    const QString name = AppInfo::stringValue(QStringLiteral("CFBundleName"));
    return name.isEmpty() ? AppInfo::executableName() : name;
}

} // namespace

ProductApplicationCommands::ProductApplicationCommands(LibrarySession& session, DesktopLauncherProvider& desktop)
    : m_session(session)
    , m_desktop(desktop)
{ }

ApplicationLocator ProductApplicationCommands::applicationLocator() const
{
    return ApplicationLocator(ApplicationLocator::standardFolders(m_session.userPrefs().importAppPath()));
}

bool ProductApplicationCommands::launchApplication(const ProductEntity* product)
{
    return launchApplication(product, nullptr);
}

bool ProductApplicationCommands::launchApplication(const ProductEntity* product, QString* error)
{
    const QString operation = operationName("launchApplication");
    const auto fail = [error](const QString& text) {
        if (error) {
            *error = text;
        }
        return false;
    };
    const QString title = product ? product->title() : QString();
    if (title.isEmpty()) {
        Log::write(QStringLiteral("Error in %1: No application title specified.").arg(operation));
        return fail(localizedString(QStringLiteral("LaunchApplicationNoTitle")));
    }
    if (title == ownBundleName() || LibrarySession::isOwnProduct(product)) {
        Log::write(QStringLiteral("Error in %1: Can't launch myself: %2.").arg(operation, title));
        return fail(localizedString(QStringLiteral("LaunchApplicationOwnRecord")));
    }
    ApplicationLocator locator = applicationLocator();
    QString path = locator.pathForApplication(title);
    if (path.isEmpty() && !product->bundleIdentifier().isEmpty()) {
        path = locator.pathForBundleIdentifier(product->bundleIdentifier());
    }
    if (path.isEmpty()) {
        Log::write(
            QStringLiteral("Error in %1: Can not locate an application with this title: %2").arg(operation, title));
        return fail(localizedFormat(QStringLiteral("LaunchApplicationNotFoundFormat"), {title}));
    }
    QString reason;
    if (!startApplication(path, locator, &reason)) {
        Log::write(QStringLiteral("Failed to launch %1").arg(path));
        Log::write(reason);
        return fail(localizedFormat(QStringLiteral("LaunchApplicationFailedFormat"), {title, reason}));
    }
    return true;
}

// A desktop entry starts its program as its "Exec" says, an AppImage runs as it is, and anything
// else (a bundle) is opened by the desktop.
bool ProductApplicationCommands::startApplication(const QString& path, const ApplicationLocator& locator,
                                                  QString* error)
{
    DesktopLauncher& launcher = m_desktop.launcher();
    if (path.endsWith(QLatin1String(".desktop")) && QFileInfo(path).isFile()) {
        const std::optional<DesktopApplication> application
            = DesktopApplicationIndex::readFile(path, locator.desktopApplicationFolders());
        if (!application) {
            *error = QStringLiteral("%1 is no readable desktop entry.").arg(path);
            return false;
        }
        return launcher.launchApplication(*application, error);
    }
    if (InstalledSoftwareScanner::isAppImage(path)) {
        return launcher.runProgram(path, {}, error);
    }
    return DesktopActions(launcher).openFile(path, error);
}

bool ProductApplicationCommands::locateApp(ProductEntity* product)
{
    UserInterface* ui = m_session.userInterface();
    if (!product || !ui) {
        return false;
    }
    OpenPanelOptions options;
    options.prompt = localizedString(QStringLiteral("LocateApp"));
    options.startFolder = m_session.userPrefs().expandedPath(PreferenceKeys::ImportAppPath);
    // Bundles are folders here, so the panel must accept a folder as the one item chosen.
    options.chooseFiles = true;
    options.chooseFolders = true;
    const std::optional<QStringList> paths = ui->runOpenPanel(options);
    if (!paths || paths->size() != 1) {
        return false;
    }
    const UndoGroup step(undoManagerOf(product));
    if (!product->setBundleInfoFromAppPath(paths->first())) {
        Log::write(
            QStringLiteral("%1: %2 is not an application bundle.").arg(operationName("locateApp"), paths->first()));
        return false;
    }
    emit m_session.productChanged(product);
    return true;
}

bool ProductApplicationCommands::revealAppInFinder(const ProductEntity* product)
{
    if (!product) {
        return false;
    }
    ApplicationLocator locator = applicationLocator();
    const QString path = product->installedApplicationPath(locator);
    if (path.isEmpty()) {
        return false;
    }
    QString error;
    if (!DesktopActions(m_desktop.launcher()).revealFile(path, &error)) {
        Log::write(QStringLiteral("%1: %2").arg(operationName("revealAppInFinder"), error));
        return false;
    }
    return true;
}

bool ProductApplicationCommands::updateInfoForApp(ProductEntity* product)
{
    ApplicationLocator locator = applicationLocator();
    return updateInfoForApp(product, locator);
}

bool ProductApplicationCommands::updateInfoForApp(ProductEntity* product, ApplicationLocator& locator)
{
    // Keymoor's own record describes this program and is refreshed at start-up, not from a bundle.
    if (!product || m_session.isReadOnly() || LibrarySession::isOwnProduct(product)) {
        return false;
    }
    const QString path = product->installedApplicationPath(locator);
    if (path.isEmpty()) {
        return false;
    }
    {
        const UndoGroup step(undoManagerOf(product));
        product->setBasicBundleInfoFromAppPath(path);
        product->setExternalIconFromAppPath(path);
    }
    emit m_session.productChanged(product);
    return true;
}

int ProductApplicationCommands::updateAllAppInfo(const QList<ProductEntity*>& products)
{
    // Each product found reads and replaces its icon record: those load together up front.
    if (Persistence::ObjectContext* context = m_session.managedObjectContext()) {
        context->prefetch(Persistence::ObjectList(products.cbegin(), products.cend()), {QStringLiteral("appIcon")});
    }
    ApplicationLocator locator = applicationLocator();
    int refreshed = 0;
    for (ProductEntity* product : products) {
        if (updateInfoForApp(product, locator)) {
            ++refreshed;
        }
    }
    return refreshed;
}

bool ProductApplicationCommands::addAppIcon(ProductEntity* product)
{
    UserInterface* ui = m_session.userInterface();
    if (!product || !ui || m_session.isReadOnly()) {
        return false;
    }
    UserPreferences& prefs = m_session.userPrefs();
    OpenPanelOptions options;
    options.startFolder = prefs.expandedPath(PreferenceKeys::ImportIconPath);
    options.chooseFiles = true;
    options.chooseFolders = true; // application bundles are folders
    options.allowsMultipleSelection = true;
    const std::optional<QStringList> paths = ui->runOpenPanel(options);
    if (!paths || paths->isEmpty()) {
        return false;
    }
    bool changed = false;
    for (const QString& path : *paths) {
        prefs.setImportIconPath(QFileInfo(path).absolutePath());
        const UndoGroup step(undoManagerOf(product));
        changed = product->setExternalIconFromAppPath(path) || changed;
    }
    if (changed) {
        emit m_session.productChanged(product);
    }
    return changed;
}

// Changes a product's icon as one undoable step and tells the window when something changed.
template<class Change>
bool ProductApplicationCommands::changeIcon(ProductEntity* product, Change change)
{
    const UndoGroup step(undoManagerOf(product));
    const bool changed = change();
    if (changed) {
        emit m_session.productChanged(product);
    }
    return changed;
}

bool ProductApplicationCommands::removeAppIcon(ProductEntity* product)
{
    if (!product || m_session.isReadOnly()) {
        return false;
    }
    return changeIcon(product, [product] { return product->setExternalIcon(QByteArray()); });
}

bool ProductApplicationCommands::fileDroppedFile(ProductEntity* product, const QString& path)
{
    if (!product || path.isEmpty() || m_session.isReadOnly()) {
        return false;
    }
    return changeIcon(product, [product, &path] { return product->setExternalIconFromAppPath(path); });
}

bool ProductApplicationCommands::fileDroppedImage(ProductEntity* product, const QByteArray& imageBytes)
{
    // Dropping "no image" must not reset the icon the way removeAppIcon does.
    if (!product || imageBytes.isEmpty() || m_session.isReadOnly()) {
        return false;
    }
    return changeIcon(product, [product, &imageBytes] { return product->setExternalIcon(imageBytes); });
}
