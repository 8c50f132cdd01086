// The commands of KeymoorAppDelegate on a product's application, icon and addresses.
#include "KeymoorAppDelegate.h"
#include "base/AppInfo.h"
#include "base/KMRegex.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "desktop/DesktopActions.h"
#include "desktop/SystemDesktopLauncher.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

#include <QFileInfo>
#include <QUrl>

using namespace Persistence;

namespace {

QString operationName(const char* function)
{
    return QStringLiteral("KeymoorAppDelegate::") + QString::fromLatin1(function);
}

// Everything one command changes is one step of the undo manager.
class UndoStep
{
public:
    explicit UndoStep(const ProductEntity* product)
        : m_undo(product && product->context() ? product->context()->undoManager() : nullptr)
    {
        if (m_undo) {
            m_undo->beginGroup();
        }
    }
    ~UndoStep()
    {
        if (m_undo) {
            m_undo->endGroup();
        }
    }
    Q_DISABLE_COPY_MOVE(UndoStep)

private:
    UndoManager* m_undo;
};

// The name Keymoor's own record and bundle go by.
QString ownBundleName()
{
    const QString name = AppInfo::stringValue(QStringLiteral("CFBundleName"));
    return name.isEmpty() ? AppInfo::executableName() : name;
}

// Changes a product's icon as one undoable step and tells the window when something changed.
template<class Change>
bool changeIcon(KeymoorAppDelegate* delegate, ProductEntity* product, Change change)
{
    UndoStep step(product);
    const bool changed = change();
    if (changed) {
        emit delegate->session().productChanged(product);
    }
    return changed;
}

} // namespace

void KeymoorAppDelegate::setDesktopLauncher(DesktopLauncher* launcher)
{
    m_launcher = launcher;
}

DesktopLauncher& KeymoorAppDelegate::desktopLauncher()
{
    if (m_launcher) {
        return *m_launcher;
    }
    if (!m_systemLauncher) {
        m_systemLauncher = std::make_unique<SystemDesktopLauncher>();
    }
    return *m_systemLauncher;
}

ApplicationLocator KeymoorAppDelegate::applicationLocator() const
{
    return ApplicationLocator(ApplicationLocator::standardFolders(m_prefs->importAppPath()));
}

void KeymoorAppDelegate::copyRegisteredNameToClipboard(const ProductEntity* product)
{
    copyProductKeyStringValueToClipboard(product, QStringLiteral("registeredName"));
}

void KeymoorAppDelegate::copyRegisteredEmailToClipboard(const ProductEntity* product)
{
    copyProductKeyStringValueToClipboard(product, QStringLiteral("registeredEmail"));
}

bool KeymoorAppDelegate::launchApplication(const ProductEntity* product)
{
    const QString operation = operationName("launchApplication");
    const QString title = product ? product->title() : QString();
    if (title.isEmpty()) {
        Log::write(QStringLiteral("Error in %1: No application title specified.").arg(operation));
        return false;
    }
    if (title == ownBundleName()) {
        Log::write(QStringLiteral("Error in %1: Can't launch myself: %2.").arg(operation, title));
        return false;
    }
    ApplicationLocator locator = applicationLocator();
    QString path = locator.pathForApplication(title);
    if (path.isEmpty() && !product->bundleIdentifier().isEmpty()) {
        path = locator.pathForBundleIdentifier(product->bundleIdentifier());
    }
    if (path.isEmpty()) {
        Log::write(
            QStringLiteral("Error in %1: Can not locate an application with this title: %2").arg(operation, title));
        return false;
    }
    QString error;
    if (!DesktopActions(desktopLauncher()).openFile(path, &error)) {
        Log::write(QStringLiteral("Failed to launch %1").arg(path));
        Log::write(error);
        return false;
    }
    return true;
}

bool KeymoorAppDelegate::locateApp(ProductEntity* product)
{
    if (!product || !m_ui) {
        return false;
    }
    OpenPanelOptions options;
    options.prompt = localizedString(QStringLiteral("LocateApp"));
    options.startFolder = m_prefs->expandedPath(PreferenceKeys::ImportAppPath);
    // Bundles are folders here, so the panel must accept a folder as the one item chosen.
    options.chooseFiles = true;
    options.chooseFolders = true;
    const std::optional<QStringList> paths = m_ui->runOpenPanel(options);
    if (!paths || paths->size() != 1) {
        return false;
    }
    UndoStep step(product);
    if (!product->setBundleInfoFromAppPath(paths->first())) {
        Log::write(
            QStringLiteral("%1: %2 is not an application bundle.").arg(operationName("locateApp"), paths->first()));
        return false;
    }
    emit m_session->productChanged(product);
    return true;
}

bool KeymoorAppDelegate::revealAppInFinder(const ProductEntity* product)
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
    if (!DesktopActions(desktopLauncher()).revealFile(path, &error)) {
        Log::write(QStringLiteral("%1: %2").arg(operationName("revealAppInFinder"), error));
        return false;
    }
    return true;
}

bool KeymoorAppDelegate::updateInfoForApp(ProductEntity* product)
{
    ApplicationLocator locator = applicationLocator();
    return updateInfoForApp(product, locator);
}

bool KeymoorAppDelegate::updateInfoForApp(ProductEntity* product, ApplicationLocator& locator)
{
    // Keymoor's own record describes this program and is refreshed at start-up, not from a bundle.
    if (!product || m_session->isReadOnly() || isOwnProduct(product)) {
        return false;
    }
    const QString path = product->installedApplicationPath(locator);
    if (path.isEmpty()) {
        return false;
    }
    {
        UndoStep step(product);
        product->setBasicBundleInfoFromAppPath(path);
        product->setExternalIconFromAppPath(path);
    }
    emit m_session->productChanged(product);
    return true;
}

int KeymoorAppDelegate::updateAllAppInfo(const QList<ProductEntity*>& products)
{
    ApplicationLocator locator = applicationLocator();
    int refreshed = 0;
    for (ProductEntity* product : products) {
        if (updateInfoForApp(product, locator)) {
            ++refreshed;
        }
    }
    return refreshed;
}

bool KeymoorAppDelegate::addAppIcon(ProductEntity* product)
{
    if (!product || !m_ui || m_session->isReadOnly()) {
        return false;
    }
    OpenPanelOptions options;
    options.startFolder = m_prefs->expandedPath(PreferenceKeys::ImportIconPath);
    options.chooseFiles = true;
    options.chooseFolders = true; // application bundles are folders
    options.allowsMultipleSelection = true;
    const std::optional<QStringList> paths = m_ui->runOpenPanel(options);
    if (!paths || paths->isEmpty()) {
        return false;
    }
    bool changed = false;
    for (const QString& path : *paths) {
        m_prefs->setImportIconPath(QFileInfo(path).absolutePath());
        UndoStep step(product);
        changed = product->setExternalIconFromAppPath(path) || changed;
    }
    if (changed) {
        emit m_session->productChanged(product);
    }
    return changed;
}

bool KeymoorAppDelegate::removeAppIcon(ProductEntity* product)
{
    if (!product || m_session->isReadOnly()) {
        return false;
    }
    return changeIcon(this, product, [product] { return product->setExternalIcon(QByteArray()); });
}

bool KeymoorAppDelegate::fileDroppedFile(ProductEntity* product, const QString& path)
{
    if (!product || path.isEmpty() || m_session->isReadOnly()) {
        return false;
    }
    return changeIcon(this, product, [product, &path] { return product->setExternalIconFromAppPath(path); });
}

bool KeymoorAppDelegate::fileDroppedImage(ProductEntity* product, const QByteArray& imageBytes)
{
    // Dropping "no image" must not reset the icon the way removeAppIcon does.
    if (!product || imageBytes.isEmpty() || m_session->isReadOnly()) {
        return false;
    }
    return changeIcon(this, product, [product, &imageBytes] { return product->setExternalIcon(imageBytes); });
}

bool KeymoorAppDelegate::openStringAsURL(const QString& text, const QString& subject)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return false;
    }
    if (isEmailAddress(trimmed)) {
        return sendEmailTo(trimmed, subject);
    }
    QUrl url(trimmed);
    if (url.scheme().isEmpty() || !url.isValid()) {
        url = QUrl(QStringLiteral("http://%1").arg(trimmed));
    }
    QString error;
    if (!DesktopActions(desktopLauncher()).openAddress(url, &error)) {
        Log::write(QStringLiteral("%1: %2").arg(operationName("openStringAsURL"), error));
        return false;
    }
    return true;
}

bool KeymoorAppDelegate::sendEmailTo(const QString& address, const QString& subject)
{
    if (address.trimmed().isEmpty()) {
        return false;
    }
    QString error;
    if (!DesktopActions(desktopLauncher()).composeMail(address, subject, &error)) {
        Log::write(QStringLiteral("%1: %2").arg(operationName("sendEmailTo"), error));
        return false;
    }
    return true;
}

bool KeymoorAppDelegate::openWebsiteInBrowser(const ProductEntity* product)
{
    return product && openStringAsURL(product->productWebsite(), product->title());
}

bool KeymoorAppDelegate::sendDeveloperEmail(const ProductEntity* product)
{
    return product && openStringAsURL(product->productEmail(), product->title());
}

bool KeymoorAppDelegate::openSupport()
{
    const QUrl url(AppInfo::stringValue(QStringLiteral("ZRSupportURL")), QUrl::StrictMode);
    if (!url.isValid() || url.isEmpty()) {
        Log::write(QStringLiteral("Error in %1: Could not located support URL.").arg(operationName("openSupport")));
        return false;
    }
    QString error;
    if (!DesktopActions(desktopLauncher()).openAddress(url, &error)) {
        Log::write(QStringLiteral("%1: %2").arg(operationName("openSupport"), error));
        return false;
    }
    return true;
}

bool KeymoorAppDelegate::openFrequentlyAskedQuestionsSite()
{
    return openStringAsURL(AppInfo::stringValue(QStringLiteral("KMFAQURL")));
}

bool KeymoorAppDelegate::openReleaseNotesSite()
{
    return openStringAsURL(AppInfo::stringValue(QStringLiteral("KMReleaseNotesURL")));
}

bool KeymoorAppDelegate::sendFeedback()
{
    return sendEmailTo(AppInfo::stringValue(QStringLiteral("ZRSupportEmail")),
                       QStringLiteral("Keymoor %1 Feedback").arg(prettyAppVersion()));
}

bool KeymoorAppDelegate::checkForUpdates()
{
    return openReleaseNotesSite();
}
