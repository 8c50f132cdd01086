#pragma once

#include "desktop/ApplicationLocator.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

class DesktopLauncherProvider;
class LibrarySession;
class ProductEntity;

// The commands on a product's installed application and its icon. Each takes the product it acts
// on (the window passes its selection); failures are logged, changes are one undo step and are
// announced through the session, and the answer tells whether the command did what it was asked.
class ProductApplicationCommands
{
    Q_DISABLE_COPY_MOVE(ProductApplicationCommands)

public:
    ProductApplicationCommands(LibrarySession& session, DesktopLauncherProvider& desktop);

    // A new lookup over the application folders ("Import App Path", /Applications, ~/Applications
    // and the folders of KEYMOOR_APP_PATH), the desktop applications and the AppImage folders.
    ApplicationLocator applicationLocator() const;

    // Starts the product's application, found by title and else by bundle identifier: a desktop
    // entry as its "Exec" says, an AppImage directly, a bundle through the desktop. Keymoor's own
    // record is never launched. The second form also answers why not, for the person.
    bool launchApplication(const ProductEntity* product);
    bool launchApplication(const ProductEntity* product, QString* error);
    // Asks for the application's bundle, desktop file or AppImage and takes its information (not its icon) into the
    // product.
    bool locateApp(ProductEntity* product);
    // Shows the application's bundle, desktop file or AppImage, found by identifier and else by title, in the file
    // manager.
    bool revealAppInFinder(const ProductEntity* product);
    // Refreshes title, version, identifier and icon from the installed application (found by
    // identifier, else by title); publisher, e-mail and website are left alone. One undo step.
    // Keymoor's own record is refreshed at start-up only.
    bool updateInfoForApp(ProductEntity* product);
    bool updateInfoForApp(ProductEntity* product, ApplicationLocator& locator);
    // updateInfoForApp for each product in order, with one scan of the folders; answers how many
    // were refreshed.
    int updateAllAppInfo(const QList<ProductEntity*>& products);

    // Asks for image or application files and makes each in turn the product's icon (so the last
    // one stays), remembering the folder as "Import Icon Path".
    bool addAppIcon(ProductEntity* product);
    // Gives the product the generic application icon.
    bool removeAppIcon(ProductEntity* product);
    // The icon well's drops: a file (its image, else its icon) or image bytes. Dropping no bytes
    // changes nothing (unlike removeAppIcon).
    bool fileDroppedFile(ProductEntity* product, const QString& path);
    bool fileDroppedImage(ProductEntity* product, const QByteArray& imageBytes);

private:
    bool startApplication(const QString& path, const ApplicationLocator& locator, QString* error);
    template<class Change>
    bool changeIcon(ProductEntity* product, Change change);

    LibrarySession& m_session;
    DesktopLauncherProvider& m_desktop;
};
